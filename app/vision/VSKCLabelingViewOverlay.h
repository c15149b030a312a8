#pragma once
// What the labelling view draws over its picture: the selected object's superpixels (or, with
// Alt held, every labelled superpixel) in green, the superpixel under the cursor in blue, and the
// object's outline in red. Window's thread only.
#include "framework/core/LLKCObjectDeque.h"
#include "imagekit/VSKCImageSample.h"
#include "ui/widgets/QELBPicturebox.h"

// What the overlay reads of its view.
class VSKPLabelingViewOverlaySource {
public:
  virtual ~VSKPLabelingViewOverlaySource() = default;
  // The sample once its operation has reported, else null.
  virtual const VSKCImageSample* shownSample() const = 0;
  // The picture box the overlay lies over; the sample is in the image pixels of its picture.
  virtual const QELBPicturebox& picture() const = 0;
  // The object the cursor works on (1 to kVSKObjectSlots).
  virtual uint32_t selectedObject() const = 0;
  // The selected object's outline, or null.
  virtual const LLKCObjectDeque* contours() const = 0;
};

class VSKCLabelingViewOverlay : public QELBWidget {
public:
  // The source outlives the overlay (it is the view that holds it).
  [[nodiscard]] static Ref<VSKCLabelingViewOverlay> widgetWithSize(OGLTSize size, OGLTPoint position,
                                                                   const VSKPLabelingViewOverlaySource& source);
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  void onRenderWithStep(float step) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCLabelingViewOverlay(OGLTSize size, OGLTPoint position, const VSKPLabelingViewOverlaySource& source)
      : QELBWidget(size, position), source_(source) {}

  const VSKPLabelingViewOverlaySource& source_;
  bool altPressed_ = false;
};

#pragma once
// The cross the images feed draws over its picture, where the user last pressed or dragged.
// Window's thread only.
#include "ui/widgets/QELBWidget.h"

// What the overlay reads of its view.
class VSKPImageViewOverlaySource {
public:
  virtual ~VSKPImageViewOverlaySource() = default;
  // Where the cross is, in the picture box's local coordinates.
  virtual OGLTPoint cross() const = 0;
};

class VSKCImageViewOverlay : public QELBWidget {
public:
  // The source outlives the overlay (it is the view that holds it).
  [[nodiscard]] static Ref<VSKCImageViewOverlay> widgetWithSize(OGLTSize size, OGLTPoint position,
                                                                const VSKPImageViewOverlaySource& source);
  void onRenderWithStep(float step) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCImageViewOverlay(OGLTSize size, OGLTPoint position, const VSKPImageViewOverlaySource& source)
      : QELBWidget(size, position), source_(source) {}

  const VSKPImageViewOverlaySource& source_;
};

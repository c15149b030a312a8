#pragma once
// What the labelled feed draws over its picture: every detected object's polygons filled in its
// label's colour and outlined in fuchsia, and its label's name at the middle of the object. A
// label without a colour is drawn in grey and logged once, naming the view (again after the
// colours change).
// Window's thread only.
#include <set>
#include <string>

#include "app/vision/VSKFLabelColours.h"
#include "framework/substrate/MRKCList.h"
#include "ui/widgets/QELBPicturebox.h"

// What the overlay reads of its view.
class VSKPLabeledViewOverlaySource {
public:
  virtual ~VSKPLabeledViewOverlaySource() = default;
  // The detections of the shown image, or null.
  virtual const MRKCList* objects() const = 0;
  virtual const VSKTLabelColours& colours() const = 0;
  // The picture box the overlay lies over; polygon points are image pixels of its picture.
  virtual const QELBPicturebox& picture() const = 0;
  // The view's name, for the log.
  virtual const std::string& viewName() const = 0;
};

class VSKCLabeledViewOverlay : public QELBWidget {
public:
  // The source outlives the overlay (it is the view that holds it).
  [[nodiscard]] static Ref<VSKCLabeledViewOverlay> widgetWithSize(OGLTSize size, OGLTPoint position,
                                                                  const VSKPLabeledViewOverlaySource& source);
  // The colours changed: a label still without one is logged again, and the objects redrawn.
  void onColoursChanged();
  void onRenderWithStep(float step) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCLabeledViewOverlay(OGLTSize size, OGLTPoint position, const VSKPLabeledViewOverlaySource& source)
      : QELBWidget(size, position), source_(source) {}

  const VSKPLabeledViewOverlaySource& source_;
  std::set<std::string, std::less<>> uncoloured_;  // labels already logged without a colour
};

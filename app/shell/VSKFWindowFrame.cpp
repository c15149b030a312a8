#include "app/shell/VSKFWindowFrame.h"

#include <algorithm>
#include <cmath>

#include "app/base/VSKFConfig.h"
#include "ui/gl/OGLFValueCoding.h"
#include "ui/widgets/QELBView.h"

VSKTWindowFrame VSKFWindowSavedFrame(JSKCFrame& settings) {
  VSKTWindowFrame saved;
  Ref<JSKCFrame> state = VSKFConfigMake(settings, kVSKWindowKey);
  if (!state) return saved;
  (void)VSKFConfigCheckViewState(*state, kVSKWindowKey);
  OGLTPoint position;
  if (OGL::fetchPoint(*state, position, "position") == kOGLCodingDone)
    saved.position = QELBView::placeablePoint(position);
  OGLTSize size;
  if (OGL::fetchSize(*state, size, "size") == kOGLCodingDone) {
    auto atLeast = [](float value, float smallest) {
      return std::isfinite(value) ? std::max(value, smallest) : smallest;
    };
    saved.size = OGLTSize{atLeast(size.w, kVSKSmallestWindow.w), atLeast(size.h, kVSKSmallestWindow.h)};
  }
  return saved;
}

void VSKFWindowStoreFrame(JSKCFrame& settings, const OGLTRect& frame) {
  Ref<JSKCFrame> state = VSKFConfigMake(settings, kVSKWindowKey);
  if (!state) return;
  (void)OGL::storePoint(*state, {frame.left, frame.top}, "position");
  (void)OGL::storeSize(*state, {frame.right - frame.left, frame.bottom - frame.top}, "size");
}

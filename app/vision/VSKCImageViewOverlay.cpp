#include "app/vision/VSKCImageViewOverlay.h"

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"

Ref<VSKCImageViewOverlay> VSKCImageViewOverlay::widgetWithSize(OGLTSize size, OGLTPoint position,
                                                               const VSKPImageViewOverlaySource& source) {
  return makeRef<VSKCImageViewOverlay>(size, position, source);
}

void VSKCImageViewOverlay::onRenderWithStep(float) {
  QELBWindow* owner = window();
  OGLC2DContext* context = owner ? owner->context() : nullptr;
  if (!context || !owner->tweaks() || !visible()) return;
  const OGLTColor green = {0, 1, 0, 0.5f};
  const OGLTPoint cross = source_.cross();
  OGLF2DStatePush(context);
  OGLF2DDrawCross(context, &cross, &green, 2.0f);
  OGLF2DStatePull(context);
}

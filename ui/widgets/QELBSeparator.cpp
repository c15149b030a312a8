#include "ui/widgets/QELBSeparator.h"

#include "ui/gl/OGLF2D.h"

Ref<QELCSeparator> QELCSeparator::widgetWithSize(OGLTSize size, OGLTPoint position) {
  return makeRef<QELCSeparator>(size, position);
}

void QELBSeparator::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d) return;
  OGLTRect r = inner();
  float y = (r.bottom - r.top) / 2;
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathMoveTo(d.ctx, r.left, y);
  OGLF2DPathLineTo(d.ctx, r.right, y);
  OGLF2DPathStrokeWidth(d.ctx, 0.5f);
  QELFControlStroke(d.ctx, d.tweaks->textColor, tint());
}

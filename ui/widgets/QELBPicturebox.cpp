#include "ui/widgets/QELBPicturebox.h"

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"

QELBPicturebox::QELBPicturebox(OGLTSize size, OGLTPoint position, Ref<QELCBitmap> bitmap)
    : QELBWidget(size, position), bitmap_(std::move(bitmap)) {}

QELBPicturebox::~QELBPicturebox() = default;

Ref<QELCPicturebox> QELCPicturebox::widgetWithSize(OGLTSize size, OGLTPoint position) {
  return makeRef<QELCPicturebox>(size, position);
}

Ref<QELCPicturebox> QELCPicturebox::widgetWithSize(OGLTSize size, OGLTPoint position, Ref<QELCBitmap> bitmap) {
  return makeRef<QELCPicturebox>(size, position, std::move(bitmap));
}

void QELBPicturebox::onUpdateWithStep(float step) {
  QELBWidget::onUpdateWithStep(step);
  QELBWindow* owner = window();
  if (bitmap_ && bitmap_->texture() == -1 && owner && owner->context()) bitmap_->bind(owner->context());
}

void QELBPicturebox::onRenderWithStep(float) {
  QELBWindow* owner = window();
  OGLC2DContext* ctx = owner ? owner->context() : nullptr;
  if (!ctx || !visible()) return;
  OGLTRect b = bounds();
  if (flags() & kQELPictureboxBackground) {
    OGLF2DPathBegin(ctx);
    OGLF2DPathRect(ctx, b.left, b.top, b.right - b.left, b.bottom - b.top);
    OGLF2DPathFillColor(ctx, &owner->tweaks()->panelColor);
    OGLF2DPathFill(ctx);
  }
  if (!bitmap_ || bitmap_->texture() == -1) return;
  OGLTSize s = bitmap_->size();
  float x = (b.left + b.right) / 2 - s.w / 2, y = (b.top + b.bottom) / 2 - s.h / 2;
  OGLTPaint paint{};
  OGLF2DMakeTexturePattern(ctx, &paint, bitmap_->texture(), x, y, s.w, s.h, 0, 1);
  OGLF2DPathBegin(ctx);
  OGLF2DPathRect(ctx, x, y, s.w, s.h);
  OGLF2DPathFillPaint(ctx, &paint);
  OGLF2DPathFill(ctx);
}

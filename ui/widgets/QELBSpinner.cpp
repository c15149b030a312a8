#include "ui/widgets/QELBSpinner.h"

#include <algorithm>
#include <cmath>

#include "ui/gl/OGLF2D.h"

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kPi = kTwoPi / 2;
const OGLTColor kClear = {0, 0, 0, 0};

}  // namespace

Ref<QELCSpinner> QELCSpinner::widgetWithSize(OGLTSize size, OGLTPoint position, float speed) {
  return makeRef<QELCSpinner>(size, position, speed);
}

void QELBSpinner::setSpeed(float speed) { speed_ = std::isnan(speed) ? 0 : std::clamp(speed, 0.0f, 1.0f); }

OGLTSize QELBSpinner::preferredSizeWithWindow(QELBWindow* window) {
  OGLTSize s = size();
  if (s.w != 0 && s.h != 0) return s;
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return {0, 0};
  float side = 4 * QELFControlPad(*d.tweaks) + d.tweaks->textFontSize;
  return QELFControlRoundedSize({side, side});
}

void QELBSpinner::onUpdateWithStep(float step) {
  QELBControl::onUpdateWithStep(step);
  angle_ += speed_ * step * 2 * kTwoPi;
  // However long (or however large) the steps, the angle stays within one turn.
  if (!std::isfinite(angle_)) angle_ = 0;
  if (angle_ >= kTwoPi) angle_ = std::fmod(angle_, kTwoPi);
  // A hidden spinner turns on without showing it: only a shown one asks for frames.
  if (speed_ > 0 && showing()) redraw();
}

void QELBSpinner::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d) return;
  OGLTRect r = inner();
  float cx = r.left + (r.right - r.left) / 2, cy = centreY();
  float radius = std::min(r.right - r.left, r.bottom - r.top) / 2;
  if (radius <= 0) return;
  float a0 = angle_, a1 = angle_ + kPi, mid = (radius + radius / 2) / 2;
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathArc(d.ctx, cx, cy, radius, a0, a1, kOGLWindingHole);
  OGLF2DPathArc(d.ctx, cx, cy, radius / 2, a1, a0, kOGLWindingSolid);
  OGLF2DPathClose(d.ctx);
  OGLTPaint paint;
  OGLF2DMakeLinearGradientWithTint(d.ctx, &paint, &kClear, &d.tweaks->textColor, cx + std::cos(a0) * mid,
                                   cy + std::sin(a0) * mid, cx + std::cos(a1) * mid, cy + std::sin(a1) * mid, tint());
  OGLF2DPathFillPaint(d.ctx, &paint);
  OGLF2DPathFill(d.ctx);
}

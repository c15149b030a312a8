#include "ui/widgets/QELBSlider.h"

#include <algorithm>
#include <cmath>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELFGeometry.h"

namespace {

// Never outside 0..1, never not a number.
float unit(float value) { return std::isnan(value) ? 0 : std::clamp(value, 0.0f, 1.0f); }

const OGLTColor kShadowColor = {0, 0, 0, 0.36f};

}  // namespace

Ref<QELCSlider> QELCSlider::widgetWithSize(OGLTSize size, OGLTPoint position, float value) {
  return makeRef<QELCSlider>(size, position, value);
}

OGLTSize QELBSlider::preferredSizeWithWindow(QELBWindow* window) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return {0, 0};
  return QELFControlRoundedSize({102, 2 * d.tweaks->textFontSize + 2});
}

QELBSlider::Track QELBSlider::track() const {
  OGLTRect r = inner();
  float w = r.right - r.left, h = r.bottom - r.top;
  if (w >= h) {
    float k = std::trunc(0.35f * h);
    return {true, r.left + k, w - 2 * k, r.top + h / 2, k};
  }
  float k = std::trunc(0.35f * w);
  return {false, r.top + k, h - 2 * k, r.left + w / 2, k};
}

void QELBSlider::change(float value) {
  value_ = unit(value);
  if (Ref<LLKCMessage> copy = QELFControlCopy(onChange_)) {
    copy->details().storeReal(value_, "value");
    deliver(copy);
  }
}

bool QELBSlider::takeInput(const Track& t) {
  const OGLTCursorEvent* record = firstCursorRecord();
  if (!record || !QELFRectContains(inner(), record->point)) {
    dragging_ = false;
    return false;
  }
  OGLTPoint p = record->point;
  float along = t.horizontal ? p.x : p.y, across = t.horizontal ? p.y : p.x;
  if (QELFControlIsLeftDown(*record) && t.length > 0) {
    float knob = t.start + value_ * t.length;
    if (dragging_) {
      change(value_ + (along - (t.horizontal ? last_.x : last_.y)) / t.length);
    } else if (std::fabs(along - knob) <= t.knob && std::fabs(across - t.centre) <= t.knob) {
      dragging_ = true;
    } else if (along >= t.start && along <= t.start + t.length && std::fabs(across - t.centre) <= t.knob) {
      change((along - t.start) / t.length);
    }
  }
  last_ = p;
  return true;
}

void QELBSlider::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d) return;
  value_ = unit(value_);
  Track t = track();
  Ref<QELBSlider> self(this);  // a handler of onChange may detach the slider
  bool active = takeInput(t);
  if (!(d = drawing())) return;
  const OGLTColor& c = active ? d.tweaks->brightColor : d.tweaks->textColor;
  float thickness = 0.15f * (t.horizontal ? inner().bottom - inner().top : inner().right - inner().left);
  float knob = t.start + value_ * t.length;
  OGLF2DPathBegin(d.ctx);
  if (t.horizontal) OGLF2DPathRoundedRect(d.ctx, t.start, t.centre - thickness / 2, t.length, thickness, 2);
  else OGLF2DPathRoundedRect(d.ctx, t.centre - thickness / 2, t.start, thickness, t.length, 2);
  QELFControlStroke(d.ctx, c, tint());
  float kx = t.horizontal ? knob : t.centre, ky = t.horizontal ? t.centre : knob;
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathCircle(d.ctx, kx, ky, std::max(0.0f, t.knob - 1));
  QELFControlFill(d.ctx, c, tint());
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathCircle(d.ctx, kx, ky, std::max(0.0f, t.knob - 0.5f));
  QELFControlStroke(d.ctx, kShadowColor, tint());
}

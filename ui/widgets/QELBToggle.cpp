#include "ui/widgets/QELBToggle.h"

#include <algorithm>

#include "ui/gl/OGLF2D.h"

Ref<QELCToggle> QELCToggle::widgetWithSize(OGLTSize size, OGLTPoint position, std::string label0, std::string label1) {
  return makeRef<QELCToggle>(size, position, std::move(label0), std::move(label1));
}

OGLTSize QELBToggle::preferredSizeWithWindow(QELBWindow* window) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return {0, 0};
  QELFControlStandardText(d.ctx, *d.tweaks);
  const std::string& longer =
      QELFControlCharacterCount(label0_) > QELFControlCharacterCount(label1_) ? label0_ : label1_;
  OGLTSize text = QELFControlTextSize(d.ctx, longer.c_str());
  return QELFControlRoundedSize({text.w + 58, text.h + 3});
}

void QELBToggle::onUpdateWithStep(float step) {
  QELBControl::onUpdateWithStep(step);
  float before = knob_;
  if (value_ && knob_ < 1) knob_ = std::min(1.0f, knob_ + 8 * step);
  if (!value_ && knob_ > 0) knob_ = std::max(0.0f, knob_ - 8 * step);
  if (knob_ != before) redraw();
}

void QELBToggle::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d) return;
  if (const OGLTCursorEvent* first = firstCursorRecord(); first && QELFControlIsClick(*first)) {
    value_ = !value_;
    if (Ref<LLKCMessage> copy = QELFControlCopy(onClick_)) {
      copy->details().storeBool(value_, "value");
      Ref<QELBToggle> self(this);  // the handler may detach the toggle while it draws
      deliver(copy);
      d = drawing();
      if (!d) return;
    }
  }
  const QELTWindowTweaks& tw = *d.tweaks;
  const OGLTColor& c = hovered() ? tw.brightColor : tw.textColor;
  float f = tw.textFontSize, cy = centreY();
  QELFControlStandardText(d.ctx, tw);
  QELFControlDrawText(d.ctx, (value_ ? label0_ : label1_).c_str(), 46, cy, kOGLAlignLeft | kOGLAlignMiddle, c, tint());
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathRoundedRect(d.ctx, 1, cy - f / 2, 35, f, 6);
  QELFControlStroke(d.ctx, c, tint());
  float r = 0.4f * f;
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathCircle(d.ctx, 3 + r + (31 - 2 * r) * knob_, cy, r);
  QELFControlFill(d.ctx, c, tint());
}

#include "ui/widgets/QELBCheckbox.h"

#include <cmath>

#include "ui/gl/OGLF2D.h"

namespace {

constexpr char kCheckGlyph[] = "\xEE\xA0\x9B";  // U+E81B in the "symbols" face

}  // namespace

Ref<QELCCheckbox> QELCCheckbox::widgetWithSize(OGLTSize size, OGLTPoint position, std::string label) {
  return makeRef<QELCCheckbox>(size, position, std::move(label));
}

OGLTSize QELBCheckbox::preferredSizeWithWindow(QELBWindow* window) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return {0, 0};
  QELFControlStandardText(d.ctx, *d.tweaks);
  OGLTSize text = QELFControlTextSize(d.ctx, label_.c_str());
  return QELFControlRoundedSize({text.w + 29, text.h + 4});
}

bool QELBCheckbox::onInputWithCursor(const OGLTCursorEvent& cursor) {
  if (!queueInsideInner(cursor)) return false;
  if (QELFControlIsClick(cursor)) {
    value_ = !value_;
    if (Ref<LLKCMessage> copy = QELFControlCopy(onClick_)) {
      copy->details().storeBool(value_, "value");
      deliver(copy);
    }
  }
  return true;
}

void QELBCheckbox::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d) return;
  const QELTWindowTweaks& tw = *d.tweaks;
  const OGLTColor& c = hovered() ? tw.brightColor : tw.textColor;
  OGLTRect r = inner();
  float cy = centreY();
  QELFControlStandardText(d.ctx, tw);
  QELFControlDrawText(d.ctx, label_.c_str(), 27, cy, kOGLAlignLeft | kOGLAlignMiddle, c, tint());
  float top = r.top + std::trunc((r.bottom - r.top) / 2) - 7;
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathRect(d.ctx, 5, top, 12, 12);
  QELFControlFill(d.ctx, tw.panelColor, tint());
  QELFControlStroke(d.ctx, c, tint());
  if (value_) {
    OGLF2DTextFontFace(d.ctx, "symbols");
    QELFControlDrawText(d.ctx, kCheckGlyph, 12, cy, kOGLAlignCenter | kOGLAlignMiddle, c, tint());
  }
}

#include "ui/widgets/QELBButton.h"

#include "ui/gl/OGLF2D.h"

Ref<QELCButton> QELCButton::widgetWithSize(OGLTSize size, OGLTPoint position, std::string label) {
  return makeRef<QELCButton>(size, position, std::move(label));
}

OGLTSize QELBButton::preferredSizeWithWindow(QELBWindow* window) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return {0, 0};
  QELFControlStandardText(d.ctx, *d.tweaks);
  OGLF2DTextAlignment(d.ctx, kOGLAlignLeft | kOGLAlignTop);
  OGLTSize text = QELFControlTextSize(d.ctx, label_.c_str());
  float room = 4 * QELFControlPad(*d.tweaks) + 1;
  return QELFControlRoundedSize({text.w + room, text.h + room});
}

bool QELBButton::onInputWithCursor(const OGLTCursorEvent& cursor) {
  if (!queueInsideInner(cursor)) return false;
  if (QELFControlIsClick(cursor)) {
    flash_.start();
    sendCopy(onClick_);
  }
  return true;
}

void QELBButton::onUpdateWithStep(float step) {
  QELBControl::onUpdateWithStep(step);
  if (flash_.step(step)) redraw();
}

void QELBButton::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d) return;
  const QELTWindowTweaks& tw = *d.tweaks;
  OGLTRect r = inner();
  float w = r.right - r.left, h = r.bottom - r.top;
  const OGLTColor& stroke = hovered() ? tw.brightColor : tw.textColor;
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathRoundedRect(d.ctx, r.left, r.top, w, h, tw.cornerRadius);
  if (flash_.pressed) QELFControlFill(d.ctx, tw.hoverColor, tint());
  else QELFControlStroke(d.ctx, stroke, tint());
  QELFControlStandardText(d.ctx, tw);
  OGLF2DTextAlignment(d.ctx, kOGLAlignLeft | kOGLAlignTop);
  OGLTSize text = QELFControlTextSize(d.ctx, label_.c_str());
  QELFControlDrawText(d.ctx, label_.c_str(), r.left + w / 2 - text.w / 2, r.top + h / 2 - text.h / 2,
                      kOGLAlignLeft | kOGLAlignTop, flash_.pressed ? tw.panelColor : stroke, tint());
}

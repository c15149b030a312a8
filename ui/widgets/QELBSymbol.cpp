#include "ui/widgets/QELBSymbol.h"

#include <algorithm>

#include "ui/gl/OGLF.h"
#include "ui/gl/OGLF2D.h"

Ref<QELCSymbol> QELCSymbol::widgetWithSize(OGLTSize size, OGLTPoint position, const QELTSymbolSetup* setup,
                                           uint32_t icon) {
  return makeRef<QELCSymbol>(size, position, setup, icon);
}

Ref<QELCSymbol> QELCSymbol::widgetWithSize(OGLTSize size, OGLTPoint position, const QELTSymbolSetup* setup,
                                           std::string label) {
  return makeRef<QELCSymbol>(size, position, setup, std::move(label));
}

QELBSymbol::QELBSymbol(OGLTSize size, OGLTPoint position, const QELTSymbolSetup* setup) : QELBControl(size, position) {
  if (setup) scale_ = setup->scale, round_ = setup->round;
}

QELBSymbol::QELBSymbol(OGLTSize size, OGLTPoint position, const QELTSymbolSetup* setup, uint32_t icon)
    : QELBSymbol(size, position, setup) {
  setFontName("symbols");
  setIcon(icon);
}

QELBSymbol::QELBSymbol(OGLTSize size, OGLTPoint position, const QELTSymbolSetup* setup, std::string label)
    : QELBSymbol(size, position, setup) {
  label_ = std::move(label);
}

void QELBSymbol::setIcon(uint32_t icon) {
  icon_ = icon;
  // Only Unicode scalar values are encoded; the six-byte forms of old would be invalid UTF-8.
  char text[7];
  OGLFCodePointToUTF8(icon > 0x10FFFF ? -1 : static_cast<int>(icon), text);
  std::copy(text, text + 7, iconText_);
  iconText_[7] = 0;
  redraw();
}

void QELBSymbol::applyFont(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks) const {
  OGLF2DTextFontSize(ctx, tweaks.largeFontSize * scale_);
  OGLF2DTextFontFace(ctx, fontName() ? fontName() : tweaks.largeFontFace);
  OGLF2DTextFontSpacing(ctx, tweaks.fontSpacing);
  OGLF2DTextLineHeight(ctx, tweaks.lineHeight);
}

OGLTSize QELBSymbol::preferredSizeWithWindow(QELBWindow* window) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return {0, 0};
  applyFont(d.ctx, *d.tweaks);
  OGLTSize text = QELFControlTextSize(d.ctx, shown());
  float s = std::max(text.w, text.h) + (round_ ? 2 * d.tweaks->padding : 0);
  return QELFControlRoundedSize({s + 2, s + 2});
}

bool QELBSymbol::onInputWithCursor(const OGLTCursorEvent& cursor) {
  if (!queueInsideInner(cursor)) return false;
  if (!QELFControlIsClick(cursor)) return false;
  flash_.start();
  sendCopy(onClick_);
  return true;
}

void QELBSymbol::onUpdateWithStep(float step) {
  QELBControl::onUpdateWithStep(step);
  if (flash_.step(step)) redraw();
}

void QELBSymbol::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d) return;
  const QELTWindowTweaks& tw = *d.tweaks;
  OGLTRect r = inner();
  float cx = r.left + (r.right - r.left) / 2, cy = centreY();
  const OGLTColor& ink = hovered() ? tw.brightColor : tw.textColor;
  if (round_) {
    OGLF2DPathBegin(d.ctx);
    OGLF2DPathEllipse(d.ctx, size().w / 2, size().h / 2, (r.right - r.left) / 2, (r.bottom - r.top) / 2);
    if (flash_.pressed) QELFControlFill(d.ctx, tw.hoverColor, 0);
    else QELFControlStroke(d.ctx, ink, tint());
  }
  applyFont(d.ctx, tw);
  OGLF2DTextAlignment(d.ctx, kOGLAlignLeft | kOGLAlignMiddle);
  float b[4];
  float advance = OGLF2DTextBounds(d.ctx, shown(), b, 0, 0);
  const OGLTColor& text = flash_.pressed ? tw.panelColor : ink;
  QELFControlDrawText(d.ctx, shown(), cx - advance / 2, cy, kOGLAlignLeft | kOGLAlignMiddle, text, tint());
  if (!underlined_) return;
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathMoveTo(d.ctx, r.left, r.bottom);
  OGLF2DPathLineTo(d.ctx, r.right, r.bottom);
  OGLF2DPathStrokeWidth(d.ctx, 1);
  QELFControlStroke(d.ctx, text, tint());
}

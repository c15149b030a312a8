#include "ui/widgets/QELBTextControl.h"

#include <algorithm>

#include "ui/gl/OGLF2D.h"

void QELBTextControl::applyFont(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks) const {
  OGLF2DTextFontSize(ctx, fontSizeSet_ ? fontSize_ : tweaks.textFontSize);
  OGLF2DTextFontFace(ctx, fontName() ? fontName() : tweaks.textFontFace);
  OGLF2DTextFontSpacing(ctx, tweaks.fontSpacing);
  OGLF2DTextLineHeight(ctx, tweaks.lineHeight);
  OGLF2DTextAlignment(ctx, kOGLAlignLeft | kOGLAlignTop);
}

float QELBTextControl::wrapWidth(float padding) const {
  if (width_ < 0) return -1;
  return plain() ? width_ : std::max(0.0f, width_ - 2 * padding);
}

void QELBTextControl::drawText(OGLC2DContext* ctx, const std::string& text, const OGLTRect& box, float wrap,
                               const OGLTColor& colour) const {
  OGLTSize t = QELFControlTextSize(ctx, text.c_str(), wrap);
  float x = box.left, y = box.top;
  if (alignment_ & kOGLAlignCenter) x = box.left + (box.right - box.left - t.w) / 2;
  else if (alignment_ & kOGLAlignRight) x = box.right - t.w;
  if (alignment_ & kOGLAlignMiddle) y = box.top + (box.bottom - box.top - t.h) / 2;
  else if (alignment_ & kOGLAlignBottom) y = box.bottom - t.h;
  OGLF2DClipEnter(ctx, &box, true);
  OGLF2DPathFillColorWithTint(ctx, &colour, tint());
  if (wrap >= 0) OGLF2DTextDrawWithWidth(ctx, text.c_str(), x - box.left, y - box.top, wrap);
  else OGLF2DTextDraw(ctx, text.c_str(), x - box.left, y - box.top);
  OGLF2DClipLeave(ctx);
}

// How a view draws itself: body, title bar with its buttons, status bar, then its children in
// the content rect.
#include <cstdint>

#include "ui/gl/OGLF.h"
#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBControl.h"
#include "ui/widgets/QELBView.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFWidgetDrawing.h"

namespace {

constexpr float kBarHeight = kQELViewBarHeight;
constexpr float kButtonGap = 5;

struct TitleButton {
  uint32_t flag;
  uint32_t glyph;
  float size;
};

void strokeLine(OGLC2DContext* ctx, float x0, float y, float x1, const OGLTColor& color) {
  OGLF2DPathBegin(ctx);
  OGLF2DPathMoveTo(ctx, x0, y);
  OGLF2DPathLineTo(ctx, x1, y);
  OGLF2DPathStrokeColor(ctx, &color);
  OGLF2DPathStroke(ctx);
}

// A cursor record of this frame inside the rect, and whether one of them is a left release.
void cursorOver(const QELTInputs& inputs, const OGLTRect& rect, bool& over, bool& released) {
  over = released = false;
  for (uint32_t i = 0; i < inputs.count; ++i) {
    const OGLTInputEvent& record = inputs.records[i];
    if (record.type != kOGLInputCursor || !QELFRectContains(rect, record.cursor.point)) continue;
    over = true;
    released = released || QELFControlIsClick(record.cursor);
  }
}

// The theme's text setting: text font, spacing and line height, with the alignment given.
void useTextFont(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks, int alignment) {
  OGLF2DTextFontSize(ctx, tweaks.textFontSize);
  OGLF2DTextFontFace(ctx, tweaks.textFontFace);
  OGLF2DTextFontSpacing(ctx, tweaks.fontSpacing);
  OGLF2DTextLineHeight(ctx, tweaks.lineHeight);
  OGLF2DTextAlignment(ctx, alignment);
}

}  // namespace

void QELBView::drawBody(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks, bool hovered) {
  OGLTSize s = size();
  OGLF2DPathBegin(ctx);
  OGLF2DPathRoundedRect(ctx, 1, 1, s.w - 2, s.h - 2, tweaks.cornerRadius);
  OGLF2DPathFillColor(ctx, &tweaks.panelColor);
  OGLF2DPathFill(ctx);
  OGLF2DPathStrokeColor(ctx, hovered ? &tweaks.hoverColor : &tweaks.frameColor);
  OGLF2DPathStroke(ctx);
}

void QELBView::drawTitleBar(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks, bool hovered) {
  OGLTSize s = size();
  // Made at every drawing: a paint is fixed in the transform of the moment, and views move.
  OGLTPaint gradient;
  OGLF2DMakeLinearGradient(ctx, &gradient, &tweaks.panelColor, &kBlackColor, 0, 1, 0, 16);
  OGLF2DPathBegin(ctx);
  OGLF2DPathRoundedRect(ctx, 1, 1, s.w - 2, kBarHeight, tweaks.cornerRadius - 1);
  OGLF2DPathFillPaint(ctx, &gradient);
  OGLF2DPathFill(ctx);
  strokeLine(ctx, 1, kBarHeight + 0.5f, s.w - 1, kStrokeColor);
  if (title_.empty()) return;
  useTextFont(ctx, tweaks, kOGLAlignCenter | kOGLAlignMiddle);
  OGLF2DPathFillColor(ctx, hovered ? &tweaks.hoverColor : &tweaks.frameColor);
  OGLF2DTextDraw(ctx, title_.c_str(), s.w / 2, 11);
}

void QELBView::drawButtons(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks) {
  bool rolled = isRolledup();
  const TitleButton fromLeft[] = {
      {kQELViewMenuButton, 0xE81D, 18},
      {kQELViewEnableButton, enabled() ? 0xE819u : 0xE818u, 16},
      {kQELViewRollButton, rolled ? 0xE805u : 0xE802u, 18},
  };
  const TitleButton close{kQELViewCloseButton, 0xE800, 18};
  OGLF2DTextFontFace(ctx, "symbols");
  OGLF2DTextFontSpacing(ctx, tweaks.fontSpacing);
  OGLF2DTextLineHeight(ctx, tweaks.lineHeight);
  OGLF2DTextAlignment(ctx, kOGLAlignLeft | kOGLAlignMiddle);
  float width = size().w;
  float x = kButtonGap;
  uint32_t pressed = 0;
  auto draw = [&](const TitleButton& button, bool fromRight) {
    char glyph[7];
    OGLFCodePointToUTF8(static_cast<int>(button.glyph), glyph);
    OGLF2DTextFontSize(ctx, button.size);
    float bounds[4];
    float advance = OGLF2DTextBounds(ctx, glyph, bounds, 0, 11);
    float start = fromRight ? width - kButtonGap - advance : x;
    OGLTRect area{start, 1, start + advance, kBarHeight + 1};
    bool over = false, released = false;
    cursorOver(inputs(), area, over, released);
    OGLF2DPathFillColor(ctx, over ? &tweaks.hoverColor : &tweaks.frameColor);
    OGLF2DTextDraw(ctx, glyph, start, 11);
    if (!fromRight) x = start + advance + kButtonGap;
    if (released) pressed = button.flag;
  };
  for (const TitleButton& button : fromLeft)
    if (flags_ & button.flag) draw(button, false);
  if (flags_ & close.flag) draw(close, true);
  if (pressed) press(pressed);
}

void QELBView::press(uint32_t button) {
  switch (button) {
    case kQELViewCloseButton:
      close();
      break;
    case kQELViewMenuButton:
      onToggleMenu();
      break;
    case kQELViewEnableButton:
      setEnabled(!enabled());
      break;
    case kQELViewRollButton:
      if (isRolledup()) unroll();
      else rollup();
      break;
    default:
      break;
  }
}

void QELBView::drawStatusBar(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks) {
  OGLTSize s = size();
  float top = s.h - 1 - kBarHeight;
  OGLTPaint gradient;
  OGLF2DMakeLinearGradient(ctx, &gradient, &kBlackColor, &tweaks.panelColor, 0, top, 0, top + kBarHeight);
  OGLF2DPathBegin(ctx);
  OGLF2DPathRoundedRect(ctx, 1, top, s.w - 2, kBarHeight, tweaks.cornerRadius - 1);
  OGLF2DPathFillPaint(ctx, &gradient);
  OGLF2DPathFill(ctx);
  strokeLine(ctx, 1, s.h - kBarHeight - 0.5f, s.w - 1, kStrokeColor);
  if (status_.empty()) return;
  useTextFont(ctx, tweaks, kOGLAlignLeft | kOGLAlignTop);
  float bounds[4] = {0, 0, 0, 0};
  OGLF2DTextBounds(ctx, status_.c_str(), bounds, 0, 0);
  float height = bounds[3] - bounds[1];
  OGLF2DPathFillColor(ctx, &tweaks.textColor);
  OGLF2DTextDraw(ctx, status_.c_str(), 5, top + (kBarHeight - height) / 2);
}

void QELBView::onRenderWithStep(float step) {
  QELBWindow* owner = window();
  OGLC2DContext* ctx = owner ? owner->context() : nullptr;
  if (!ctx || !visible()) return;
  const QELTWindowTweaks& tweaks = *owner->tweaks();
  Ref<QELBView> self(this);  // a title-bar button may close and detach the view
  bool hovered = hasCursorRecord();
  drawBody(ctx, tweaks, hovered);
  if (flags_ & kQELViewTitleBar) {
    drawTitleBar(ctx, tweaks, hovered);
    drawButtons(ctx, tweaks);
  }
  if (flags_ & kQELViewStatusBar) drawStatusBar(ctx, tweaks);
  if (roll_ == kQELRollRolledUp || childs().empty()) return;
  // One origin for drawing and hit-testing: the content rect, space().
  OGLTRect content = space();
  OGLF2DClipEnter(ctx, &content, true);
  QELFWidgetRenderChildren(ctx, childs(), step);
  OGLF2DClipLeave(ctx);
}

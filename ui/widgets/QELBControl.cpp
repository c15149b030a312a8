#include "ui/widgets/QELBControl.h"

#include <algorithm>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFGeometry.h"
#include "ui/widgets/QELFWidgetDrawing.h"

QELTControlDrawing QELFControlDrawingOf(QELBWindow* window) {
  OGLC2DContext* ctx = window ? window->context() : nullptr;
  if (!ctx) return {nullptr, nullptr};
  return {ctx, window->tweaks()};
}

void QELFControlStandardText(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks) {
  OGLF2DTextFontSize(ctx, tweaks.textFontSize);
  OGLF2DTextFontFace(ctx, tweaks.textFontFace);
  OGLF2DTextFontSpacing(ctx, tweaks.fontSpacing);
  OGLF2DTextLineHeight(ctx, tweaks.lineHeight);
}

OGLTSize QELFControlTextSize(OGLC2DContext* ctx, const char* text, float wrapWidth) {
  if (!ctx || !text || !*text) return {0, 0};
  float b[4] = {0, 0, 0, 0};
  if (wrapWidth >= 0) OGLF2DTextBoundsWithWidth(ctx, text, b, 0, 0, wrapWidth);
  else OGLF2DTextBounds(ctx, text, b, 0, 0);
  return {b[2] - b[0], b[3] - b[1]};
}

size_t QELFControlCharacterCount(std::string_view text) {
  size_t count = 0;
  for (char byte : text)
    if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80) ++count;
  return count;
}

OGLTSize QELFControlRoundedSize(OGLTSize size) { return {QELFRoundEven(size.w), QELFRoundEven(size.h)}; }

float QELFControlPad(const QELTWindowTweaks& tweaks) { return std::max(tweaks.cornerRadius, tweaks.padding); }

Ref<LLKCMessage> QELFControlCopy(const Ref<LLKCMessage>& message) { return message ? message->copy() : nullptr; }

void QELFControlDrawText(OGLC2DContext* ctx, const char* text, float x, float y, int alignment, const OGLTColor& colour,
                         float t) {
  if (!ctx || !text) return;
  OGLF2DTextAlignment(ctx, alignment);
  OGLF2DPathFillColorWithTint(ctx, &colour, t);
  OGLF2DTextDraw(ctx, text, x, y);
}

void QELFControlStroke(OGLC2DContext* ctx, const OGLTColor& colour, float t) {
  OGLF2DPathStrokeColorWithTint(ctx, &colour, t);
  OGLF2DPathStroke(ctx);
}

void QELFControlFill(OGLC2DContext* ctx, const OGLTColor& colour, float t) {
  OGLF2DPathFillColorWithTint(ctx, &colour, t);
  OGLF2DPathFill(ctx);
}

OGLTRect QELBControl::inner() const { return QELFRectInset(bounds(), 1); }

float QELBControl::centreY() const {
  OGLTRect r = inner();
  return r.top + (r.bottom - r.top) / 2;
}

float QELBControl::tint() const { return QELFWidgetTint(this); }

QELTControlDrawing QELBControl::drawing() {
  if (!visible()) return {nullptr, nullptr};
  return QELFControlDrawingOf(window());
}

QELTControlDrawing QELBControl::measuring() { return QELFControlDrawingOf(window()); }

bool QELBControl::queueInsideInner(const OGLTCursorEvent& cursor) {
  if (!QELFRectContains(inner(), worldToLocal(cursor.point))) return false;
  QELBWidget::onInputWithCursor(cursor);
  return true;
}

const OGLTCursorEvent* QELBControl::firstCursorRecord() const {
  const QELTInputs& queued = inputs();
  for (uint32_t i = 0; i < queued.count; ++i)
    if (queued.records[i].type == kOGLInputCursor) return &queued.records[i].cursor;
  return nullptr;
}

bool QELBControl::deliver(const Ref<LLKCMessage>& copy) {
  if (!copy) return false;
  copy->details().storeObject(Ref<LLKBObject>(this), "sender");
  return send(copy);
}

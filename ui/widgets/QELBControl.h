#pragma once
// What every control shares: it measures and draws itself with its window's theme and 2D
// context, takes cursor input through its input queue, and reports what the user did by
// sending a copy of a message template (carrying its details and itself under "sender") up
// the widget tree.
//
// Conventions: the inner rect is the bounds inset by 1; a control is hovered in a frame when a
// cursor record reached it; colours are tinted by 1 − opacity when the opacity is below 1;
// a click is a release of the left button; preferred sizes are rounded (halves away from zero) and made
// even, and are zero without a window. A control draws only while attached to a window with a
// 2D context and while visible. Everything runs on the window's thread.
#include <string>
#include <string_view>

#include "framework/core/LLKCMessage.h"
#include "ui/gl/OGLC2DContext.h"
#include "ui/widgets/QELBWidget.h"
#include "ui/widgets/QELTWindowTweaks.h"

// Widget flags that controls read.
enum : uint32_t {
  kQELControlPlain = 0x1,      // no inset, no padding (labels, tickers), no outline (scroll bars)
  kQELControlHighlight = 0x2,  // a hovered label or ticker draws in hoverColor
  kQELControlAccent = 0x4,     // a ticker always draws in hoverColor
};

// The context and theme a control draws and measures with; both null when it cannot.
struct QELTControlDrawing {
  OGLC2DContext* ctx;
  const QELTWindowTweaks* tweaks;
  explicit operator bool() const { return ctx && tweaks; }
};

// The window's context and theme (null for a null window or one without a context).
QELTControlDrawing QELFControlDrawingOf(QELBWindow* window);
// Sets the standard text setting: textFontSize, textFontFace, fontSpacing, lineHeight.
void QELFControlStandardText(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks);
// The width and height of the text's bounds with the context's current text setting; zero for
// null or empty text. A wrap width of 0 or more wraps the text to it.
OGLTSize QELFControlTextSize(OGLC2DContext* ctx, const char* text, float wrapWidth = -1);
// Each dimension rounded to the nearest whole number and raised by one when odd.
OGLTSize QELFControlRoundedSize(OGLTSize size);
// The room a framed control keeps around its content: max(cornerRadius, padding).
float QELFControlPad(const QELTWindowTweaks& tweaks);
// The number of characters (UTF-8 lead bytes) of the text.
size_t QELFControlCharacterCount(std::string_view text);
// A release of the left button: the end of a click.
inline bool QELFControlIsClick(const OGLTCursorEvent& cursor) {
  return cursor.button == kOGLButtonLeft && cursor.action == kOGLActionRelease;
}
// A press of the left button, or a move with it held (a drag): the window reports both as presses.
inline bool QELFControlIsLeftDown(const OGLTCursorEvent& cursor) {
  return cursor.button == kOGLButtonLeft && cursor.action == kOGLActionPress;
}
// The message's copy, or null for a null message.
Ref<LLKCMessage> QELFControlCopy(const Ref<LLKCMessage>& message);

// Draws text with the context's current font at (x, y) with that alignment, in the colour
// tinted by t.
void QELFControlDrawText(OGLC2DContext* ctx, const char* text, float x, float y, int alignment, const OGLTColor& colour,
                         float t);
// Strokes (or fills) the path built so far in the colour tinted by t.
void QELFControlStroke(OGLC2DContext* ctx, const OGLTColor& colour, float t);
void QELFControlFill(OGLC2DContext* ctx, const OGLTColor& colour, float t);

// The short flash of a pushed button: on for 0.1 s of frame steps after a click.
struct QELTPressFlash {
  bool pressed = false;
  float left = 0;  // seconds

  void start() { pressed = true, left = 0.1f; }
  // Counts the step down; true when the flash ended with it.
  bool step(float step) {
    if (!pressed) return false;
    left -= step;
    if (left > 0) return false;
    pressed = false;
    return true;
  }
};

class QELBControl : public QELBWidget {
public:
  // The bounds inset by 1 on every side.
  OGLTRect inner() const;
  // The vertical centre of the inner rect.
  float centreY() const;
  // 1 − opacity when the opacity is below 1, else 0.
  float tint() const;
  // A cursor record reached the control this frame.
  bool hovered() const { return hasCursorRecord(); }

protected:
  QELBControl(OGLTSize size, OGLTPoint position) : QELBWidget(size, position) {}

  // The window's context and theme when the control may draw (attached, visible, a context).
  QELTControlDrawing drawing();
  // The window's context and theme for measuring (null without a window or a context).
  QELTControlDrawing measuring();

  // The push controls' cursor step: a record whose point lies outside the inner rect is
  // neither consumed nor queued (false); one inside is queued (true).
  bool queueInsideInner(const OGLTCursorEvent& cursor);
  // The first cursor record queued this frame, null when none.
  const OGLTCursorEvent* firstCursorRecord() const;

  // Stores this control under "sender" in the copy and sends it up the tree; false for null.
  bool deliver(const Ref<LLKCMessage>& copy);
};

#pragma once
// A scroll bar: a handle of length `handle` (a fraction of the track) centred at `scroll` along
// the track, both 0 to 1. Pressing or dragging moves the handle to the cursor and sends a copy
// of onChange with "scroll" (real) and "sender"; a drag holds the window's greedy widget from
// the press until the first record with another action. Horizontal when the handle area is at
// least as wide as it is high. Flag 1 (plain) leaves out the outline.
#include "ui/widgets/QELBControl.h"

// The state a scroll bar reports; containers that show their own bars keep one too.
struct QELTScrollbarRecord {
  float scroll = 0;
  float handle = 0;
  Ref<LLKCMessage> onChange;
};

extern "C" {
// Sends a copy of the record's onChange with "scroll" (the record's scroll) and "sender" (the
// widget) through the widget's send; false when nothing was sent.
bool QELFScrollbarNotify(const QELTScrollbarRecord* record, QELBWidget* sender);
}

// How far one notch of the wheel (its delta) moves a bar's scroll: a tenth of the track, towards
// the end for a notch towards the user.
inline float QELFScrollbarWheelStep(float delta) { return delta / -10.0f; }

class QELBScrollbar : public QELBControl {
public:
  QELBScrollbar(OGLTSize size, OGLTPoint position) : QELBControl(size, position) {}

  float scroll() const { return record_.scroll; }
  // Clamped to 0..1 (not a number counts as 0); sends nothing.
  void setScroll(float scroll);
  float handle() const { return record_.handle; }
  void setHandle(float handle);
  const Ref<LLKCMessage>& onChange() const { return record_.onChange; }
  void setOnChange(Ref<LLKCMessage> message) { record_.onChange = std::move(message); }
  // Sends onChange with the current scroll.
  bool trigger() { return QELFScrollbarNotify(&record_, this); }

  // Zero: owners size their bars.
  OGLTSize preferredSizeWithWindow(QELBWindow*) override { return {0, 0}; }
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onRenderWithStep(float step) override;

  // The handle area (the bounds inset by 3) and the handle's rect in it, in local coordinates.
  OGLTRect handleArea() const;
  OGLTRect handleRect() const;
  bool horizontal() const;

private:
  bool active();

  QELTScrollbarRecord record_;
};

class QELCScrollbar : public QELBScrollbar {
public:
  [[nodiscard]] static Ref<QELCScrollbar> widgetWithSize(OGLTSize size, OGLTPoint position);
  using QELBScrollbar::QELBScrollbar;
};

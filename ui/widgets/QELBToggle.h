#pragma once
// A two-state toggle: a track with a knob that slides towards the value (8 per second) and the
// label of the current state (label 0 while on, label 1 while off). A click, taken while
// drawing from the frame's first cursor record, inverts the value and sends a copy of onClick
// with "value" (bool, the new value) and "sender".
#include <string>

#include "ui/widgets/QELBControl.h"

class QELBToggle : public QELBControl {
public:
  QELBToggle(OGLTSize size, OGLTPoint position, std::string label0, std::string label1)
      : QELBControl(size, position), label0_(std::move(label0)), label1_(std::move(label1)) {}

  bool value() const { return value_; }
  // Sends nothing; the knob slides there.
  void setValue(bool value) { showChange(value_, value); }
  const Ref<LLKCMessage>& onClick() const { return onClick_; }
  void setOnClick(Ref<LLKCMessage> message) { onClick_ = std::move(message); }
  // 0 (off) to 1 (on).
  float knob() const { return knob_; }

  // The longer label's text bounds (label 1 on a tie) plus (58, 3).
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  // Queues a record inside the inner rect (true); the click is acted on while drawing.
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override { return queueInsideInner(cursor); }
  void onUpdateWithStep(float step) override;
  void onRenderWithStep(float step) override;

private:
  std::string label0_, label1_;
  Ref<LLKCMessage> onClick_;
  bool value_ = false;
  float knob_ = 0;
};

class QELCToggle : public QELBToggle {
public:
  [[nodiscard]] static Ref<QELCToggle> widgetWithSize(OGLTSize size, OGLTPoint position, std::string label0,
                                                      std::string label1);
  using QELBToggle::QELBToggle;
};

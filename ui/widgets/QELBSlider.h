#pragma once
// A slider: a knob on a track, horizontal when the inner rect is at least as wide as it is
// high. Input is taken while drawing from the frame's first cursor record: a press on the knob
// starts a drag that moves the value with the pointer, a press elsewhere on the track puts the
// value there; each change sends a copy of onChange with "value" (real, 0 to 1) and "sender".
// The drag ends at the first frame without a pressed record inside the slider.
#include "ui/widgets/QELBControl.h"

class QELBSlider : public QELBControl {
public:
  QELBSlider(OGLTSize size, OGLTPoint position, float value) : QELBControl(size, position), value_(value) {}

  // Clamped to 0..1 at the next frame (sending nothing).
  float value() const { return value_; }
  void setValue(float value) { showChange(value_, value); }
  const Ref<LLKCMessage>& onChange() const { return onChange_; }
  void setOnChange(Ref<LLKCMessage> message) { onChange_ = std::move(message); }
  bool dragging() const { return dragging_; }

  // (102, 2 × textFontSize + 2).
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  // Queues a record inside the inner rect (true).
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override { return queueInsideInner(cursor); }
  void onRenderWithStep(float step) override;

private:
  // The track along the slider's axis: its start, length, centre line across and knob radius.
  struct Track {
    bool horizontal;
    float start, length, centre, knob;
  };
  Track track() const;
  // Takes the frame's input; answers whether the slider is active.
  bool takeInput(const Track& t);
  void change(float value);

  float value_;
  Ref<LLKCMessage> onChange_;
  bool dragging_ = false;
  OGLTPoint last_{};
};

class QELCSlider : public QELBSlider {
public:
  [[nodiscard]] static Ref<QELCSlider> widgetWithSize(OGLTSize size, OGLTPoint position, float value);
  using QELBSlider::QELBSlider;
};

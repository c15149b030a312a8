#pragma once
// A check box: a square, a check mark while `value` is set, and a label at its right. A click
// inverts the value and sends a copy of onClick with "value" (bool, the new value) and "sender".
#include <string>

#include "ui/widgets/QELBControl.h"

class QELBCheckbox : public QELBControl {
public:
  QELBCheckbox(OGLTSize size, OGLTPoint position, std::string label)
      : QELBControl(size, position), label_(std::move(label)) {}

  const std::string& label() const { return label_; }
  void setLabel(std::string label) { showChange(label_, std::move(label)); }
  const Ref<LLKCMessage>& onClick() const { return onClick_; }
  void setOnClick(Ref<LLKCMessage> message) { onClick_ = std::move(message); }
  bool value() const { return value_; }
  // Sends nothing.
  void setValue(bool value) { showChange(value_, value); }

  // The label's text bounds (w, h) in the standard text setting, then (w + 29, h + 4).
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onRenderWithStep(float step) override;

private:
  Ref<LLKCMessage> onClick_;
  std::string label_;
  bool value_ = false;
};

class QELCCheckbox : public QELBCheckbox {
public:
  [[nodiscard]] static Ref<QELCCheckbox> widgetWithSize(OGLTSize size, OGLTPoint position, std::string label);
  using QELBCheckbox::QELBCheckbox;
};

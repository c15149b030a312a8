#pragma once
// A push button: a rounded rect with a centred label. A click flashes it for 0.1 s and sends a
// copy of onClick with "sender".
#include <string>

#include "ui/widgets/QELBControl.h"

class QELBButton : public QELBControl {
public:
  QELBButton(OGLTSize size, OGLTPoint position, std::string label)
      : QELBControl(size, position), label_(std::move(label)) {}

  const std::string& label() const { return label_; }
  void setLabel(std::string label) { showChange(label_, std::move(label)); }
  const Ref<LLKCMessage>& onClick() const { return onClick_; }
  void setOnClick(Ref<LLKCMessage> message) { onClick_ = std::move(message); }
  bool pressed() const { return flash_.pressed; }

  // The inner rect.
  OGLTRect space() override { return inner(); }
  // The label's text bounds, each dimension plus 4 × max(cornerRadius, padding) + 1.
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onUpdateWithStep(float step) override;
  void onRenderWithStep(float step) override;

private:
  Ref<LLKCMessage> onClick_;
  std::string label_;
  QELTPressFlash flash_;
};

class QELCButton : public QELBButton {
public:
  [[nodiscard]] static Ref<QELCButton> widgetWithSize(OGLTSize size, OGLTPoint position, std::string label);
  using QELBButton::QELBButton;
};

#pragma once
// A radio box: a ring, a dot while `value` is set, and a label at its right. A click on an
// unselected box selects it, clears every other radio box among its siblings (the children of
// its parent, or the window's top-level widgets) and sends a copy of onClick with "value" (bool,
// YES) and "sender"; a click on the selected box changes nothing and sends nothing.
#include <string>

#include "ui/widgets/QELBControl.h"

class QELBRadiobox;

// Sets value NO on every other radio box (or subclass) among the box's siblings.
void QELFRadioboxDeselectSiblings(QELBRadiobox* radiobox);

class QELBRadiobox : public QELBControl {
public:
  QELBRadiobox(OGLTSize size, OGLTPoint position, std::string label)
      : QELBControl(size, position), label_(std::move(label)) {}

  // The preferred size a radio box with that label would have in the window.
  static OGLTSize preferredSizeWithWindow(QELBWindow* window, const std::string& label);

  const std::string& label() const { return label_; }
  void setLabel(std::string label) { showChange(label_, std::move(label)); }
  const Ref<LLKCMessage>& onClick() const { return onClick_; }
  void setOnClick(Ref<LLKCMessage> message) { onClick_ = std::move(message); }
  bool value() const { return value_; }
  // YES on a box whose value was NO clears its siblings; sends nothing.
  void setValue(bool value);

  OGLTSize preferredSizeWithWindow(QELBWindow* window) override { return preferredSizeWithWindow(window, label_); }
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onRenderWithStep(float step) override;

private:
  friend void QELFRadioboxDeselectSiblings(QELBRadiobox* radiobox);

  Ref<LLKCMessage> onClick_;
  std::string label_;
  bool value_ = false;
};

class QELCRadiobox : public QELBRadiobox {
public:
  [[nodiscard]] static Ref<QELCRadiobox> widgetWithSize(OGLTSize size, OGLTPoint position, std::string label);
  using QELBRadiobox::QELBRadiobox;
};

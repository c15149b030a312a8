#pragma once
// A selector: the chosen string between a "<" and a ">" zone that step back and forth through
// the list (a click on a zone, or Left and Right while the cursor is over it). A step sends a
// copy of onChange with "sender", "selected" and "value" a tenth of a second later; nothing
// steps past either end of the list, and an empty list steps nowhere.
#include "ui/widgets/QELBChoiceControl.h"

class QELBSelector : public QELBChoiceControl {
public:
  QELBSelector(OGLTSize size, OGLTPoint position, Ref<LLKBObjectSequence> values, uint32_t capacity = 0);

  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;

  // Ignores an index outside the list.
  void setSelected(uint32_t index);
  // The first equal value; the choice stays when none is equal.
  void setValue(std::string_view value);
  // Chooses the first value.
  void setValues(Ref<LLKBObjectSequence> values);
  bool changePending() const { return changePending_; }

  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  void onUpdateWithStep(float step) override;
  void onRenderWithStep(float step) override;

private:
  // One step back (-1) or forward (+1) when the list has a value there.
  void step(int direction);
  // The width of ">" (or "<") in the standard text; 0 without a context.
  float markWidth(const char* mark);

  bool changePending_ = false;
  float changeCountdown_ = 0;
};

// Sends the selector's change message (what a step does when its countdown runs out).
void QELFSelectorNotify(const QELTChoice& choice, QELBSelector* selector);

class QELCSelector : public QELBSelector {
public:
  [[nodiscard]] static Ref<QELCSelector> widgetWithSize(OGLTSize size, OGLTPoint position,
                                                        Ref<LLKBObjectSequence> values, uint32_t capacity = 0);
  using QELBSelector::QELBSelector;
};

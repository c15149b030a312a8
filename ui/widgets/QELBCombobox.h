#pragma once
// A combo box: a drop box between a "+" and a "-" button, with a text box over the drop box.
// "+" switches to the text box (edit mode) and back; Enter in the text box inserts the typed
// text into the list at the chosen index (or appends it and chooses it) and sends onInsert
// then onChange; "-" leaves edit mode, or removes the chosen value and sends onRemove then
// onChange; Escape leaves edit mode. The value, the list and the choice are the drop box's.
// Messages carry "sender" (the combo box), "value" and, for onChange, "selected".
#include "ui/widgets/QELBButton.h"
#include "ui/widgets/QELBDropbox.h"
#include "ui/widgets/QELBParent.h"
#include "ui/widgets/QELBTextbox.h"

class QELBCombobox : public QELBParent {
public:
  // The text box holds at most capacity bytes.
  QELBCombobox(OGLTSize size, OGLTPoint position, Ref<LLKBObjectSequence> values, uint32_t capacity);
  ~QELBCombobox() override;

  // Its own opacity and its four parts'.
  void setOpacity(float opacity) override;
  // Its own flags, and 0x1 (the menu opens above) on to the drop box.
  void setFlags(uint32_t flags) override;
  uint32_t selected() const { return dropbox_->selected(); }
  void setSelected(uint32_t index) { dropbox_->setSelected(index); }
  Ref<LLKCString> value() const { return dropbox_->value(); }
  void setValue(std::string_view value) { dropbox_->setValue(value); }
  const Ref<LLKBObjectSequence>& values() const { return dropbox_->values(); }
  void setValues(Ref<LLKBObjectSequence> values) { dropbox_->setValues(std::move(values)); }
  const Ref<LLKCMessage>& onChange() const { return onChange_; }
  void setOnChange(Ref<LLKCMessage> message) { onChange_ = std::move(message); }
  const Ref<LLKCMessage>& onInsert() const { return onInsert_; }
  void setOnInsert(Ref<LLKCMessage> message) { onInsert_ = std::move(message); }
  const Ref<LLKCMessage>& onRemove() const { return onRemove_; }
  void setOnRemove(Ref<LLKCMessage> message) { onRemove_ = std::move(message); }

  QELBButton* addButton() const { return add_.get(); }
  QELBButton* removeButton() const { return remove_.get(); }
  QELBTextbox* textbox() const { return textbox_.get(); }
  QELBDropbox* dropbox() const { return dropbox_.get(); }
  bool editing() const { return textbox_->visible(); }

  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  void onAwaken() override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  void onMessaged(const Ref<LLKCMessage>& message) override;
  void onRenderWithStep(float step) override;

private:
  void edit(bool editing);
  void removeChosen();
  void insert(const Ref<LLKCMessage>& commit);
  // Sends onChange with the chosen index and value when the list holds one there.
  void sendChange();

  Ref<QELCButton> add_, remove_;
  Ref<QELCTextbox> textbox_;
  Ref<QELCDropbox> dropbox_;
  Ref<LLKCMessage> onChange_, onInsert_, onRemove_;
};

class QELCCombobox : public QELBCombobox {
public:
  [[nodiscard]] static Ref<QELCCombobox> widgetWithSize(OGLTSize size, OGLTPoint position,
                                                        Ref<LLKBObjectSequence> values, uint32_t capacity);
  using QELBCombobox::QELBCombobox;
};

#pragma once
// A dialog that asks for a line of text: a label over a text box, and a row of buttons. A
// button's press sends a copy of onChoice with "sender", "value" (the text) and "button" (its
// index); a commit of the text box (Enter) sends one without "button". Either goes to the
// target (poked) or up from the dialog, then the dialog closes, as it does on any message.
#include <string>
#include <vector>

#include "ui/widgets/QELBButtonsDialog.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBTextbox.h"

class QELBInputDialog : public QELBButtonsDialog {
public:
  QELBInputDialog(OGLTSize size, OGLTPoint position, std::string title);
  ~QELBInputDialog() override;

  const std::string& label() const { return label_->text(); }
  void setLabel(std::string label) { label_->setText(std::move(label)); }
  const std::string& value() const { return textbox_->value(); }
  void setValue(const std::string& value) { textbox_->setValue(value); }
  QELBTextbox* textbox() const { return textbox_.get(); }
  // Replaces the buttons: button i sends the code {1, 0, i}.
  void setButtons(std::vector<std::string> buttons);

  void onMessaged(const Ref<LLKCMessage>& message) override;

protected:
  friend class QELCInputDialog;
  bool build(uint32_t capacity);

private:
  Ref<QELCLabel> label_;
  Ref<QELCTextbox> textbox_;
};

class QELCInputDialog : public QELBInputDialog {
public:
  // capacity: of the text box, in bytes. Null when a part cannot be made.
  [[nodiscard]] static Ref<QELCInputDialog> widgetWithSize(OGLTSize size, OGLTPoint position, std::string title,
                                                           uint32_t capacity);
  using QELBInputDialog::QELBInputDialog;
};

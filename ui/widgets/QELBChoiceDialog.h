#pragma once
// What the message and busy dialogs share: a figure (a symbol or a spinner) beside a wrapped
// label, and a centred row of buttons. A button's press sends a copy of onChoice carrying
// "sender" (the dialog) and "button" (the button's index) to the target, or up from the dialog,
// then the dialog closes. Only the buttons' own messages are choices: any other message that
// reaches the dialog (an empty one included) closes it without a choice.
#include <string>
#include <vector>

#include "ui/widgets/QELBButtonsDialog.h"
#include "ui/widgets/QELBLabel.h"

class QELBChoiceDialog : public QELBButtonsDialog {
public:
  ~QELBChoiceDialog() override;

  // The label's wrapping width (250 at first).
  float width() const;
  void setWidth(float width);
  const std::string& message() const { return label_->text(); }
  void setMessage(std::string message) { label_->setText(std::move(message)); }
  // Replaces the buttons: button i sends the code {i, i, i}. An empty list leaves none.
  void setButtons(std::vector<std::string> buttons);

  void onMessaged(const Ref<LLKCMessage>& message) override;

protected:
  QELBChoiceDialog(OGLTSize size, OGLTPoint position, std::string title);
  // Builds the parts around the figure; false when one cannot be made.
  bool build(const Ref<QELBWidget>& figure, bool trailingSpacer);

private:
  Ref<QELCLabel> label_;
};

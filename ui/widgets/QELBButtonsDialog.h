#pragma once
// What the choice and input dialogs share: a row of buttons made from a list of titles and the
// choice message a button sends a copy of. Each dialog lays the row out, gives the buttons their
// codes and adds its own details to the choice.
#include <functional>
#include <string>
#include <vector>

#include "ui/widgets/QELBDialog.h"
#include "ui/widgets/QELBGroup.h"

class QELBButtonsDialog : public QELBDialog {
public:
  ~QELBButtonsDialog() override;

  const std::vector<std::string>& buttons() const { return buttons_; }
  QELBGroup* buttonRow() const { return buttonRow_.get(); }
  const Ref<LLKCMessage>& onChoice() const { return onChoice_; }
  void setOnChoice(Ref<LLKCMessage> message) { onChoice_ = std::move(message); }

protected:
  QELBButtonsDialog(OGLTSize size, OGLTPoint position, std::string title);
  // Makes the (empty) row of buttons.
  void makeButtonRow();
  // Replaces the buttons with one per title, button i sending code(i). An empty list leaves none.
  void fillButtons(std::vector<std::string> buttons, const std::function<LLKTMessageCode(uint32_t)>& code);
  // The index of the button whose message this is, else -1.
  int32_t buttonOf(const LLKCMessage& message);

  Ref<QELCGroup> buttonRow_;

private:
  std::vector<std::string> buttons_;
  Ref<LLKCMessage> onChoice_;
};

#include "ui/widgets/QELFDialogParts.h"

#include "ui/widgets/QELBButton.h"
#include "ui/widgets/QELCWidgets.h"

void QELFDialogFillButtons(QELBGroup& row, const std::vector<std::string>& titles,
                           const std::function<LLKTMessageCode(uint32_t)>& code) {
  row.detachAll();
  for (uint32_t i = 0; i < titles.size(); ++i) {
    Ref<QELCButton> button = QELCButton::widgetWithSize({0, 0}, {0, 0}, titles[i]);
    Ref<LLKCMessage> click = LLKCMessage::messageWithCode(code(i));
    button->setOnClick(click);
    button->setTag(i);
    (void)row.attach(button);
  }
}

int32_t QELFDialogButtonOf(QELBGroup& row, const LLKCMessage& message) {
  Ref<LLKBObject> sender = message.details().objectForKey("sender");
  if (!sender) return -1;
  for (const Ref<QELBWidget>& button : row._childs()->members())
    if (button.get() == sender.get()) return static_cast<int32_t>(button->tag());
  return -1;
}

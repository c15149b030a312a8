#include "ui/widgets/QELBChoiceDialog.h"

#include "ui/widgets/QELBButton.h"
#include "ui/widgets/QELBSpacer.h"
#include "ui/widgets/QELFDialogParts.h"

QELBChoiceDialog::QELBChoiceDialog(OGLTSize size, OGLTPoint position, std::string title)
    : QELBDialog(size, position, std::move(title)) {}

QELBChoiceDialog::~QELBChoiceDialog() = default;

bool QELBChoiceDialog::build(const Ref<QELBWidget>& figure, bool trailingSpacer) {
  Ref<QELCGroup> surface = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kQELDialogSurface);
  Ref<QELCGroup> figureGroup = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kQELDialogCentered);
  Ref<QELCGroup> messageRow = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kQELDialogMessage);
  Ref<QELCGroup> buttonGroup = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kQELDialogCentered);
  buttonRow_ = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kQELDialogButtons);
  label_ = QELCLabel::widgetWithAlignment(17, "");
  if (!made() || !surface || !figureGroup || !messageRow || !buttonGroup || !buttonRow_ || !label_ || !figure)
    return false;
  label_->setWidth(250);
  bool attached = figureGroup->attach(figure) && messageRow->attach(figureGroup) && messageRow->attach(label_) &&
                  buttonGroup->attach(buttonRow_) && surface->attach(messageRow) && surface->attach(buttonGroup);
  if (attached && trailingSpacer) attached = surface->attach(QELCSpacer::widgetWithSize({5, 5}, {0, 0}));
  return attached && attach(surface);
}

float QELBChoiceDialog::width() const { return label_->width(); }

void QELBChoiceDialog::setWidth(float width) { label_->setWidth(width); }

void QELBChoiceDialog::setButtons(std::vector<std::string> buttons) {
  buttons_ = std::move(buttons);
  buttonRow_->detachAll();
  for (uint32_t i = 0; i < buttons_.size(); ++i) {
    Ref<QELCButton> button = QELCButton::widgetWithSize({0, 0}, {0, 0}, buttons_[i]);
    Ref<LLKCMessage> click = LLKCMessage::messageWithCode(LLKTMessageCode{i, i, i});
    if (!button || !click) continue;
    button->setOnClick(click);
    button->setTag(i);
    (void)buttonRow_->attach(button);
  }
}

int32_t QELBChoiceDialog::buttonOf(const LLKCMessage& message) const {
  const LLKTMessageCode& code = message.code();
  if (code.uid != code.tag || code.uid != code.ctx) return -1;
  Ref<LLKBObject> sender = message.details().objectForKey("sender");
  for (const Ref<QELBWidget>& button : buttonRow_->_childs()->members())
    if (button.get() == sender.get() && button->tag() == code.uid) return static_cast<int32_t>(code.uid);
  return -1;
}

void QELBChoiceDialog::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return;
  int32_t button = buttonOf(*message);
  if (button >= 0 && onChoice_) {
    Ref<LLKCMessage> choice = onChoice_->copy();
    if (choice) {
      (void)choice->details().storeObject(Ref<LLKBObject>(this), "sender");
      (void)choice->details().storeUint(static_cast<uint64_t>(button), "button");
      deliverChoice(choice);
    }
  }
  QELBDialog::onMessaged(message);
}

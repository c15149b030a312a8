#include "ui/widgets/QELBInputDialog.h"

#include "framework/core/LLKCString.h"
#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELFDialogParts.h"

namespace {
constexpr uint32_t kUidButton = 1, kUidCommit = 2;
}

QELBInputDialog::QELBInputDialog(OGLTSize size, OGLTPoint position, std::string title)
    : QELBButtonsDialog(size, position, std::move(title)) {}

QELBInputDialog::~QELBInputDialog() = default;

Ref<QELCInputDialog> QELCInputDialog::widgetWithSize(OGLTSize size, OGLTPoint position, std::string title,
                                                     uint32_t capacity) {
  Ref<QELCInputDialog> dialog = makeRef<QELCInputDialog>(size, position, std::move(title));
  return dialog->build(capacity) ? dialog : nullptr;
}

bool QELBInputDialog::build(uint32_t capacity) {
  Ref<QELCGroup> surface = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &QELDialogSetups::kSetupSurface);
  Ref<QELCGroup> column = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &QELDialogSetups::kSetupControl);
  Ref<QELCGroup> buttonGroup = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &QELDialogSetups::kSetupCentered);
  makeButtonRow();
  label_ = QELCLabel::widgetWithAlignment(kOGLAlignLeft | kOGLAlignMiddle, "");
  textbox_ = QELCTextbox::widgetWithSize({0, 0}, {0, 0}, "", capacity);
  Ref<LLKCMessage> commit = LLKCMessage::messageWithCode(kUidCommit);
  textbox_->setOnCommit(commit);
  return column->attach(label_) && column->attach(textbox_) && buttonGroup->attach(buttonRow_) &&
         surface->attach(column) && surface->attach(buttonGroup) && attach(surface);
}

void QELBInputDialog::setButtons(std::vector<std::string> buttons) {
  fillButtons(std::move(buttons), [](uint32_t i) { return LLKTMessageCode{kUidButton, 0, i}; });
}

void QELBInputDialog::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return;
  int32_t button = buttonOf(*message);
  bool committed = message->uid() == kUidCommit &&
                   message->details().objectForKey("sender").get() == static_cast<LLKBObject*>(textbox_.get());
  if (onChoice() && (button >= 0 || committed)) {
    if (Ref<LLKCMessage> choice = copyWithSender(onChoice())) {
      (void)choice->details().storeObject(LLKCString::stringWithString(textbox_->value()), "value");
      if (button >= 0) (void)choice->details().storeUint(static_cast<uint64_t>(button), "button");
      deliverChoice(choice);
    }
  }
  QELBDialog::onMessaged(message);
}

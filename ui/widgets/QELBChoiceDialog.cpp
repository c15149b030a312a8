#include "ui/widgets/QELBChoiceDialog.h"

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBSpacer.h"
#include "ui/widgets/QELFDialogParts.h"

QELBChoiceDialog::QELBChoiceDialog(OGLTSize size, OGLTPoint position, std::string title)
    : QELBButtonsDialog(size, position, std::move(title)) {}

QELBChoiceDialog::~QELBChoiceDialog() = default;

bool QELBChoiceDialog::build(const Ref<QELBWidget>& figure, bool trailingSpacer) {
  Ref<QELCGroup> surface = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &QELDialogSetups::kSetupSurface);
  Ref<QELCGroup> figureGroup = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &QELDialogSetups::kSetupCentered);
  Ref<QELCGroup> messageRow = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &QELDialogSetups::kSetupMessage);
  Ref<QELCGroup> buttonGroup = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &QELDialogSetups::kSetupCentered);
  makeButtonRow();
  label_ = QELCLabel::widgetWithAlignment(kOGLAlignLeft | kOGLAlignMiddle, "");
  if (!figure) return false;
  label_->setWidth(250);
  bool attached = figureGroup->attach(figure) && messageRow->attach(figureGroup) && messageRow->attach(label_) &&
                  buttonGroup->attach(buttonRow_) && surface->attach(messageRow) && surface->attach(buttonGroup);
  if (attached && trailingSpacer) attached = surface->attach(QELCSpacer::widgetWithSize({5, 5}, {0, 0}));
  return attached && attach(surface);
}

float QELBChoiceDialog::width() const { return label_->width(); }

void QELBChoiceDialog::setWidth(float width) { label_->setWidth(width); }

void QELBChoiceDialog::setButtons(std::vector<std::string> buttons) {
  fillButtons(std::move(buttons), [](uint32_t i) { return LLKTMessageCode{i, i, i}; });
}

void QELBChoiceDialog::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return;
  int32_t button = buttonOf(*message);
  if (button >= 0 && onChoice()) {
    if (Ref<LLKCMessage> choice = copyWithSender(onChoice())) {
      (void)choice->details().storeUint(static_cast<uint64_t>(button), "button");
      deliverChoice(choice);
    }
  }
  QELBDialog::onMessaged(message);
}

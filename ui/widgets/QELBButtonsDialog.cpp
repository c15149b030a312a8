#include "ui/widgets/QELBButtonsDialog.h"

#include "ui/widgets/QELFDialogParts.h"

QELBButtonsDialog::QELBButtonsDialog(OGLTSize size, OGLTPoint position, std::string title)
    : QELBDialog(size, position, std::move(title)) {}

QELBButtonsDialog::~QELBButtonsDialog() = default;

void QELBButtonsDialog::makeButtonRow() {
  buttonRow_ = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &QELDialogSetups::kSetupButtons);
}

void QELBButtonsDialog::fillButtons(std::vector<std::string> buttons,
                                    const std::function<LLKTMessageCode(uint32_t)>& code) {
  buttons_ = std::move(buttons);
  QELFDialogFillButtons(*buttonRow_, buttons_, code);
}

int32_t QELBButtonsDialog::buttonOf(const LLKCMessage& message) { return QELFDialogButtonOf(*buttonRow_, message); }

#include "ui/widgets/QELBMessageDialog.h"

QELBMessageDialog::QELBMessageDialog(OGLTSize size, OGLTPoint position, std::string title)
    : QELBChoiceDialog(size, position, std::move(title)) {}

QELBMessageDialog::~QELBMessageDialog() = default;

bool QELBMessageDialog::build() {
  symbol_ = QELCSymbol::widgetWithSize({64, 64}, {0, 0}, &QELBSymbol::kSetupSymbol, 0);
  symbol_->setEnabled(false);  // a picture, not a button
  return QELBChoiceDialog::build(symbol_, true);
}

Ref<QELCMessageDialog> QELCMessageDialog::widgetWithSize(OGLTSize size, OGLTPoint position, std::string title) {
  Ref<QELCMessageDialog> dialog = makeRef<QELCMessageDialog>(size, position, std::move(title));
  return dialog->build() ? dialog : nullptr;
}

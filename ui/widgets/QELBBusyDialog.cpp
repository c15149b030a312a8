#include "ui/widgets/QELBBusyDialog.h"

QELBBusyDialog::QELBBusyDialog(OGLTSize size, OGLTPoint position, std::string title)
    : QELBChoiceDialog(size, position, std::move(title)) {}

QELBBusyDialog::~QELBBusyDialog() = default;

bool QELBBusyDialog::build() {
  spinner_ = QELCSpinner::widgetWithSize({64, 64}, {0, 0}, 0.5f);
  return QELBChoiceDialog::build(spinner_, false);
}

Ref<QELCBusyDialog> QELCBusyDialog::widgetWithSize(OGLTSize size, OGLTPoint position, std::string title) {
  Ref<QELCBusyDialog> dialog = makeRef<QELCBusyDialog>(size, position, std::move(title));
  return dialog->build() ? dialog : nullptr;
}

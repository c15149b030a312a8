#include "ui/widgets/QELBPickDialog.h"

Ref<QELCFilePickDialog> QELCFilePickDialog::widgetWithSize(OGLTSize size, OGLTPoint position, std::string title) {
  Ref<QELCFilePickDialog> dialog = makeRef<QELCFilePickDialog>(size, position, std::move(title));
  return dialog && dialog->build(QELCFilePicker::widgetWithSize({0, 0}, {0, 0})) ? dialog : nullptr;
}

Ref<QELCFolderPickDialog> QELCFolderPickDialog::widgetWithSize(OGLTSize size, OGLTPoint position, std::string title) {
  Ref<QELCFolderPickDialog> dialog = makeRef<QELCFolderPickDialog>(size, position, std::move(title));
  return dialog && dialog->build(QELCFolderPicker::widgetWithSize({0, 0}, {0, 0})) ? dialog : nullptr;
}

#include "framework/app/ZRVCSolutionPickDialog.h"

Ref<ZRVCSolutionPickDialog> ZRVCSolutionPickDialog::widgetWithSize(OGLTSize size, OGLTPoint position,
                                                                   std::string title) {
  Ref<ZRVCSolutionPickDialog> dialog = makeRef<ZRVCSolutionPickDialog>(size, position, std::move(title));
  if (!dialog->build(QELCFilePicker::widgetWithSize({0, 0}, {0, 0}))) return nullptr;
  dialog->setFilters({"json"});
  return dialog;
}

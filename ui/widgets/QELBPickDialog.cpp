#include "ui/widgets/QELBPickDialog.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kShortestLists = 64;  // a few rows, however small the window
}  // namespace

void QELFPickDialogFit(QELBDialog& dialog, QELBPicker& picker, QELBWindow* window, float room) {
  picker.setListHeight(QELBPicker::kListHeight);
  dialog.QELBDialog::resizeWithWindow(window);
  const float overflow = dialog.size().h - room;
  if (overflow <= 0) return;
  float shorter = std::floor(QELBPicker::kListHeight - overflow);
  if (std::fmod(shorter, 2.0f) != 0) shorter -= 1;  // widgets keep even sizes
  picker.setListHeight(std::max(kShortestLists, shorter));
  dialog.QELBDialog::resizeWithWindow(window);
}

Ref<QELCFilePickDialog> QELCFilePickDialog::widgetWithSize(OGLTSize size, OGLTPoint position, std::string title) {
  Ref<QELCFilePickDialog> dialog = makeRef<QELCFilePickDialog>(size, position, std::move(title));
  return dialog->build(QELCFilePicker::widgetWithSize({0, 0}, {0, 0})) ? dialog : nullptr;
}

Ref<QELCFolderPickDialog> QELCFolderPickDialog::widgetWithSize(OGLTSize size, OGLTPoint position, std::string title) {
  Ref<QELCFolderPickDialog> dialog = makeRef<QELCFolderPickDialog>(size, position, std::move(title));
  return dialog->build(QELCFolderPicker::widgetWithSize({0, 0}, {0, 0})) ? dialog : nullptr;
}

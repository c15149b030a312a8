#pragma once
// The file and folder pick dialogs: a dialog holding a picker. The picker's "Select" or
// "Cancel" ends in a message that climbs through the dialog and closes it (see QELBPicker).
#include "ui/widgets/QELBDialog.h"
#include "ui/widgets/QELBFilePicker.h"
#include "ui/widgets/QELBFolderPicker.h"

// Sizes the dialog with the window around the picker, the picker's lists made as much shorter as
// the dialog would otherwise be taller than the room it is centred in (down to a few rows).
void QELFPickDialogFit(QELBDialog& dialog, QELBPicker& picker, QELBWindow* window, float room);

// What both pick dialogs pass on to their picker.
template <typename Picker>
class QELBPickDialog : public QELBDialog {
public:
  QELBPickDialog(OGLTSize size, OGLTPoint position, std::string title) : QELBDialog(size, position, std::move(title)) {}

  Picker* picker() const { return picker_.get(); }
  const Ref<LLKCMessage>& onSelect() const { return picker_->onSelect(); }
  void setOnSelect(Ref<LLKCMessage> message) { picker_->setOnSelect(std::move(message)); }
  const Ref<LLKCMessage>& onCancel() const { return picker_->onCancel(); }
  void setOnCancel(Ref<LLKCMessage> message) { picker_->setOnCancel(std::move(message)); }
  // "" when no start folder could be set.
  std::string path() const { return picker_->path(); }
  void setPath(const std::string& path) { picker_->setPath(path); }
  const Ref<QELBWidget>& target() const { return picker_->target(); }
  void setTarget(Ref<QELBWidget> target) { picker_->setTarget(std::move(target)); }

  // Fits around the picker, whose lists are shortened by what the dialog would stand out of the
  // window: centred, a taller dialog hid its own title and the path above the window's top.
  void resizeWithWindow(QELBWindow* window) override {
    const OGLTRect room = area();
    QELFPickDialogFit(*this, *picker_, window, room.bottom - room.top);
  }

protected:
  bool build(Ref<Picker> picker) {
    picker_ = std::move(picker);
    return picker_ && attach(picker_);
  }

private:
  Ref<Picker> picker_;
};

// A dialog holding a file picker.
class QELBFilePickDialog : public QELBPickDialog<QELCFilePicker> {
public:
  using QELBPickDialog::QELBPickDialog;

  std::vector<std::string> filters() const { return picker()->filters(); }
  void setFilters(std::vector<std::string> filters) { picker()->setFilters(std::move(filters)); }
};

// A dialog holding a folder picker.
class QELBFolderPickDialog : public QELBPickDialog<QELCFolderPicker> {
public:
  using QELBPickDialog::QELBPickDialog;
};

class QELCFilePickDialog : public QELBFilePickDialog {
public:
  // Null when the picker cannot be made or attached.
  [[nodiscard]] static Ref<QELCFilePickDialog> widgetWithSize(OGLTSize size, OGLTPoint position, std::string title);
  using QELBFilePickDialog::QELBFilePickDialog;
};

class QELCFolderPickDialog : public QELBFolderPickDialog {
public:
  [[nodiscard]] static Ref<QELCFolderPickDialog> widgetWithSize(OGLTSize size, OGLTPoint position, std::string title);
  using QELBFolderPickDialog::QELBFolderPickDialog;
};

#pragma once
// A folder picker: the path of the current folder on top, the list of its folders, and a footer
// with "Create new folder", "Select" and "Cancel". "Select" sends a copy of onSelect with
// "sender" and "folder" (the current folder). "Create new folder" shows a name box: its commit,
// or "Create", makes the folder inside the current one and opens it; a name that is not one
// plain path component, or a folder that cannot be made, is told to the user. See QELBPicker for
// listings and the ending.
#include "ui/widgets/QELBPicker.h"

class QELBFolderPicker : public QELBPicker {
public:
  QELBFolderPicker(OGLTSize size, OGLTPoint position);
  ~QELBFolderPicker() override;

  bool creating() const { return creating_; }
  QELBTextbox* nameBox() const { return nameBox_.get(); }
  QELBButton* createButton() const { return createButton_.get(); }

  void resizeWithWindow(QELBWindow* window) override;

protected:
  friend class QELCFolderPicker;
  bool build();
  Ref<QELBPickerWorker> makeWorker(Ref<QELCPickerLink> link) override;
  Ref<QELCBoard> makeFolderRow(const QELCPickerEntry* entry) override;
  void onButton(uint32_t tag) override;

private:
  void enterCreateMode();
  void leaveCreateMode();
  void createFolder(const std::string& name);

  Ref<QELCLabel> nameLabel_;
  Ref<QELCTextbox> nameBox_;
  Ref<QELCButton> createButton_;
  bool creating_ = false;
};

// Whether the name can be made as one folder: not empty, not "." or "..", no '/' nor NUL.
bool QELFFolderPickerIsPlainName(const std::string& name);

class QELCFolderPicker : public QELBFolderPicker {
public:
  // Null when a part cannot be made.
  [[nodiscard]] static Ref<QELCFolderPicker> widgetWithSize(OGLTSize size, OGLTPoint position);
  using QELBFolderPicker::QELBFolderPicker;
};

#include "ui/widgets/QELBFolderPicker.h"

#include <sys/stat.h>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBSpacer.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFGeometry.h"
#include "ui/widgets/QELFPickerRows.h"

QELBFolderPicker::QELBFolderPicker(OGLTSize size, OGLTPoint position)
    : QELBPicker(size, position, &QELKFolderPickerSetup) {}

QELBFolderPicker::~QELBFolderPicker() = default;

Ref<QELCFolderPicker> QELCFolderPicker::widgetWithSize(OGLTSize size, OGLTPoint position) {
  Ref<QELCFolderPicker> picker = makeRef<QELCFolderPicker>(size, position);
  return picker->build() ? picker : nullptr;
}

bool QELFFolderPickerIsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

bool QELBFolderPicker::build() {
  nameLabel_ = QELCLabel::widgetWithAlignment(kOGLAlignLeft | kOGLAlignMiddle, "Name:");
  nameBox_ = QELCTextbox::widgetWithSize({0, 0}, {0, 0}, "", 24);
  createButton_ = QELCButton::widgetWithSize({0, 0}, {0, 0}, "Create new folder");
  Ref<QELCGroup> row = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &QELKFolderPickerRow);
  Ref<QELCGroup> footer = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &QELKFolderPickerFooter);
  Ref<QELCSpacer> spacer = QELCSpacer::widgetWithSize({0, 0}, {0, 0});
  Ref<LLKCMessage> create = LLKCMessage::messageWithCode(LLKTMessageCode{kQELPickerUidButton, kQELPickerTagCreate, 0});
  Ref<LLKCMessage> commit = LLKCMessage::messageWithCode(LLKTMessageCode{kQELPickerUidButton, kQELPickerTagSelect, 0});
  if (!buildParts(QELBFolderPickerFolderComparator)) return false;
  createButton_->setOnClick(create);
  nameBox_->setOnCommit(commit);
  nameLabel_->setVisible(false);
  nameBox_->setVisible(false);
  return row->attach(folderList_) && footer->attach(nameLabel_) && footer->attach(nameBox_) && footer->attach(spacer) &&
         footer->attach(createButton_) && footer->attach(selectButton_) && footer->attach(cancelButton_) &&
         attach(pathBox_) && attach(row) && attach(footer);
}

void QELBFolderPicker::resizeWithWindow(QELBWindow* window) {
  float w = QELFRoundEven(QELBTextbox::preferredSizeWithWindow(window, pathBox_->capacity()).w);
  folderList_->setSize({w, listHeight()});
  QELBPicker::resizeWithWindow(window);
}

Ref<QELBPickerWorker> QELBFolderPicker::makeWorker(Ref<QELCPickerLink> link) {
  return makeRef<QELCFolderPickerWorker>(std::move(link));
}

Ref<QELCBoard> QELBFolderPicker::makeFolderRow(const QELCPickerEntry* entry) {
  return QELFFolderPickerMakeFolder(window(), entry);
}

void QELBFolderPicker::onButton(uint32_t tag) {
  if (tag == kQELPickerTagCreate) {
    enterCreateMode();
  } else if (creating_) {
    if (tag == kQELPickerTagSelect) createFolder(nameBox_->value());
    leaveCreateMode();
  } else if (tag == kQELPickerTagSelect) {
    // Without a folder there is nothing to choose: the picker stays open for a path that works.
    if (!folder()) {
      showProblem("Sorry, there is no folder to select: type the path of one.");
      return;
    }
    Ref<LLKCMessage> choice = copyWithSender(onSelect());
    if (choice) (void)choice->details().storeObject(Ref<LLKBObject>(folder()), "folder");
    finish(choice);
  } else if (tag == kQELPickerTagCancel) {
    finish(copyWithSender(onCancel()));
  }
}

void QELBFolderPicker::enterCreateMode() {
  creating_ = true;
  nameLabel_->setVisible(true);
  nameBox_->setVisible(true);
  createButton_->setVisible(false);
  selectButton_->setLabel("Create");
}

void QELBFolderPicker::leaveCreateMode() {
  creating_ = false;
  nameLabel_->setVisible(false);
  nameBox_->setVisible(false);
  createButton_->setVisible(true);
  selectButton_->setLabel("Select");
  nameBox_->setValue("");
}

void QELBFolderPicker::createFolder(const std::string& name) {
  if (name.empty() || !folder()) return;
  if (!QELFFolderPickerIsPlainName(name)) {
    showProblem("Sorry, a folder's name can't hold \"/\" nor be \".\" or \"..\".");
    return;
  }
  Ref<LLKCFSFolder> made = LLKCFSFolder::folderWithPath(folder()->fullPath().c_str(), name);
  // A name that is already taken is a failure too: the user asked for a new folder.
  if (!made || ::mkdir(made->fullPath().c_str(), 0777) != 0) {
    showProblem("Sorry, couldn't create the folder.");
    return;
  }
  openFolder(made);
}

#include "ui/widgets/QELBPicker.h"

#include <cstdlib>

#include "framework/core/LLKCObjectList.h"
#include "framework/core/LLKCString.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"
#include "ui/widgets/QELBBoard.h"
#include "ui/widgets/QELBMessageDialog.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFPickerRows.h"

namespace {

// The absolute form of a path, "" when there is none.
std::string absolutePath(const std::string& path) {
  char* made = LLKFRelativeToAbsolutePath(path.c_str());
  std::string absolute = made ? made : "";
  std::free(made);
  return absolute;
}

Ref<LLKCMessage> buttonMessage(uint32_t tag) {
  return LLKCMessage::messageWithCode(LLKTMessageCode{kQELPickerUidButton, tag, 0});
}

}  // namespace

QELBPicker::QELBPicker(OGLTSize size, OGLTPoint position, const QELTGroupSetup* setup)
    : QELBGroup(size, position, setup) {}

QELBPicker::~QELBPicker() { stopWorker(); }

bool QELBPicker::buildParts(QELTWidgetComparator folderOrder) {
  pathBox_ = QELCTextbox::widgetWithSize({0, 0}, {0, 0}, "", 80);
  folderList_ = QELCListbox::widgetWithSize({0, 0}, {0, 0});
  selectButton_ = QELCButton::widgetWithSize({0, 0}, {0, 0}, "Select");
  cancelButton_ = QELCButton::widgetWithSize({0, 0}, {0, 0}, "Cancel");
  folderList_->setFlags(kQELListboxFitWidth);
  folderList_->_childs()->setComparator(folderOrder);
  pathBox_->setOnCommit(LLKCMessage::messageWithCode(kQELPickerUidPath));
  selectButton_->setOnClick(buttonMessage(kQELPickerTagSelect));
  cancelButton_->setOnClick(buttonMessage(kQELPickerTagCancel));
  return pathBox_->onCommit() && selectButton_->onClick() && cancelButton_->onClick();
}

std::string QELBPicker::path() const { return folder_ ? folder_->absFullPath() : std::string(); }

void QELBPicker::setPath(const std::string& path) {
  std::string absolute = absolutePath(path);
  Ref<LLKCFSFolder> folder = absolute.empty() ? nullptr : LLKCFSFolder::folderWithFullPath(absolute.c_str());
  if (!folder) return;
  folder_ = folder;
  showPath(absolute);
  folderList_->detachAll();
  onRestart();
  started_ = false;  // listed at the next awaken while attached
}

void QELBPicker::showPath(const std::string& path) { pathBox_->setValue(path); }

void QELBPicker::onAttachedIntoWindow() {
  QELBGroup::onAttachedIntoWindow();
  stopWorker();
  started_ = false;
  QELBWindow* owner = window();
  if (!owner) return;
  resizeWithWindow(owner);
  link_ = makeRef<QELCPickerLink>(this, owner);
  worker_ = makeWorker(link_);
  if (!worker_->start()) {
    LLKFLog("Picker: the folder reader could not start");
    stopWorker();
  }
}

void QELBPicker::onDetachedFromWindow() {
  started_ = false;
  stopWorker();
  QELBGroup::onDetachedFromWindow();
}

void QELBPicker::stopWorker() {
  if (link_) link_->cut();
  if (worker_) worker_->stopAndJoin();
  link_ = nullptr;
  worker_ = nullptr;
  listing_ = false;
}

void QELBPicker::onAwaken() {
  if (!started_ && worker_) startListing();
  QELBGroup::onAwaken();
}

void QELBPicker::startListing() {
  started_ = true;
  if (!folder_ || !worker_) return;
  ++generation_;  // the batches still coming for an older listing are dropped
  Ref<LLKCMessage> start =
      LLKCMessage::messageWithCode(LLKTMessageCode{kQELPickerUidList, kQELPickerTagStart, generation_}, folder_);
  listing_ = worker_->post(start);
}

void QELBPicker::restart() {
  folderList_->detachAll();
  onRestart();
  startListing();
}

void QELBPicker::openFolder(Ref<LLKCFSFolder> folder) {
  folder_ = std::move(folder);
  showPath(folder_->absFullPath());
  restart();
}

void QELBPicker::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return;
  switch (message->uid()) {
    case kQELPickerUidList:
      if (message->tag() != kQELPickerTagStart) onListed(*message);
      break;
    case kQELPickerUidFolder: {
      Ref<LLKCFSFolder> folder = message->payloadAs<LLKCFSFolder>();
      if (!folder && !message->payload() && folder_) folder = folder_->parent();
      if (folder) openFolder(folder);
      break;
    }
    case kQELPickerUidPath:
      onPathTyped(*message);
      break;
    case kQELPickerUidButton:
      onButton(message->tag());
      break;
    default:
      break;
  }
}

void QELBPicker::onListed(const LLKCMessage& batch) {
  if (batch.ctx() != generation_ || !listing_) return;  // from a listing given up
  if (folderList_->_childs()->count() == 0) {
    if (Ref<QELCBoard> up = makeFolderRow(nullptr)) (void)folderList_->attach(up);
  }
  if (batch.details().boolForKey("last")) listing_ = false;
  onBatch(batch);
  if (batch.details().boolForKey("error")) showProblem("Sorry, couldn't read the folder.");
}

void QELBPicker::onBatch(const LLKCMessage& batch) {
  if (Ref<LLKCObjectList> entries = batch.payloadAs<LLKCObjectList>()) attachFolderRows(*entries);
}

void QELBPicker::attachFolderRows(const LLKCObjectList& entries) {
  for (size_t i = 0; i < entries.count(); ++i) {
    Ref<QELCPickerEntry> entry = entries.fetchAtIndexAs<QELCPickerEntry>(i);
    if (!entry || !entry->folder()) continue;
    if (Ref<QELCBoard> row = makeFolderRow(entry.get())) (void)folderList_->attach(row);
  }
}

void QELBPicker::onPathTyped(const LLKCMessage& message) {
  Ref<LLKCString> typed = message.details().objectForKeyAs<LLKCString>("value");
  if (!typed || typed->string().empty()) return;
  std::string absolute = absolutePath(typed->string());
  Ref<LLKCFSFolder> folder = absolute.empty() ? nullptr : LLKCFSFolder::folderWithFullPath(absolute.c_str());
  if (!folder) {
    // The current folder stays, and the box shows it again.
    showPath(path());
    showProblem("Sorry, couldn't open the folder.");
    return;
  }
  openFolder(folder);
}

void QELBPicker::finish(const Ref<LLKCMessage>& choice) {
  Ref<QELBWidget> self(this);  // an enclosing dialog lets go of the picker when it closes
  if (!choice) {
    send(LLKCMessage::messageWithCode(0));
    return;
  }
  if (target_) {
    target_->poke(choice);
    send(LLKCMessage::messageWithCode(0));
  } else {
    send(choice);
  }
}

void QELBPicker::showProblem(const char* text) {
  QELBWindow* owner = window();
  Ref<QELCMessageDialog> dialog = QELCMessageDialog::widgetWithSize({320, 320}, {20, 400}, "So, hmmm ...");
  if (!owner || !dialog) {
    LLKFLog("QELBPicker : cannot tell \"%s\": %s", text,
            owner ? "its dialog cannot be made" : "the picker is in no window");
    return;
  }
  dialog->setSymbol(0xE816);
  dialog->setMessage(text);
  dialog->setButtons({"Okay."});
  dialog->setLayer(kQELDialogLayer);
  dialog->setAlias("dialog");
  dialog->setVisible(true);
  if (!owner->attach(dialog)) LLKFLog("QELBPicker : cannot tell \"%s\": the window refused its dialog", text);
}

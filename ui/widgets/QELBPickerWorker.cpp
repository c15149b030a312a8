#include "ui/widgets/QELBPickerWorker.h"

#include <sys/stat.h>

#include "framework/core/LLKCObjectList.h"
#include "framework/core/LLKFTime.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELCPickerEntry.h"

bool QELCPickerLink::deliver(Ref<LLKCMessage> message) {
  Ref<QELCPickerLink> self(this);
  return window_->sched([self, message] {
    if (QELBWidget* picker = self->picker_) picker->onMessaged(message);
  });
}

QELBPickerWorker::QELBPickerWorker(Ref<QELCPickerLink> link, uint32_t tag, size_t batch, bool withFiles)
    : link_(std::move(link)), tag_(tag), batch_(batch), withFiles_(withFiles) {}

QELBPickerWorker::~QELBPickerWorker() = default;

QELCFilePickerWorker::QELCFilePickerWorker(Ref<QELCPickerLink> link)
    : QELBPickerWorker(std::move(link), kQELPickerTagFiles, 4, true) {}

QELCFolderPickerWorker::QELCFolderPickerWorker(Ref<QELCPickerLink> link)
    : QELBPickerWorker(std::move(link), kQELPickerTagFolders, 16, false) {}

void QELBPickerWorker::deliver(Ref<LLKBObject> payload, bool last, bool error) {
  Ref<LLKCMessage> message =
      LLKCMessage::messageWithCode(LLKTMessageCode{kQELPickerUidList, tag_, generation_}, payload);
  if (last) (void)message->details().storeBool(true, "last");
  if (error) (void)message->details().storeBool(true, "error");
  (void)link_->deliver(message);
}

bool QELBPickerWorker::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message || message->uid() != kQELPickerUidList) return false;
  Ref<LLKCFSFolder> folder = message->payloadAs<LLKCFSFolder>();
  if (!folder) return false;
  // A new listing replaces the one under way.
  generation_ = message->ctx();
  std::error_code error;
  iterator_ = std::filesystem::directory_iterator(folder->fullPath(), error);
  reading_ = !error;
  if (error) deliver(nullptr, true, true);
  return true;
}

Ref<LLKCObjectList> QELBPickerWorker::readBatch() {
  Ref<LLKCObjectList> list = LLKCObjectList::listWithCapacity(batch_);
  std::error_code error;
  while (list && list->count() < batch_ && !error && iterator_ != std::filesystem::directory_iterator()) {
    const std::filesystem::path& path = iterator_->path();
    std::string name = path.filename().string();
    struct stat info {};
    // Hidden entries are skipped, and so are broken links and entries gone since they were read.
    if (!name.empty() && name[0] != '.' && ::stat(path.c_str(), &info) == 0) {
      Ref<LLKBFSEntry> entry;
      if (S_ISDIR(info.st_mode)) entry = LLKCFSFolder::folderWithPath(path.c_str());
      else if (withFiles_) entry = LLKCFSFile::fileWithFullPath(path.c_str());
      double time = static_cast<double>(info.st_mtim.tv_sec) + static_cast<double>(info.st_mtim.tv_nsec) * 1e-9;
      if (entry)
        (void)list->append(makeRef<QELCPickerEntry>(std::move(entry), name, static_cast<uint64_t>(info.st_size), time));
    }
    iterator_.increment(error);
  }
  return list;  // a folder that fails part way ends where it failed
}

bool QELBPickerWorker::onRunning() {
  if (!reading_) return false;
  Ref<LLKCObjectList> list = readBatch();
  if (!list) return true;
  // As with reading entry by entry, the end is seen by the batch that finds no more.
  bool exhausted = list->count() < batch_;
  bool empty = list->count() == 0;
  // The file picker's listing ends with a batch without entries: after the last one that had
  // some, one without payload follows.
  bool endMark = exhausted && tag_ == kQELPickerTagFiles && !empty;
  deliver(list, exhausted && !endMark);
  if (!exhausted) {
    // The file picker leaves the window a moment between its small batches.
    if (tag_ == kQELPickerTagFiles) LLKFSnoozeMS(1);
    return true;
  }
  if (endMark) deliver(nullptr, true);
  reading_ = false;
  iterator_ = std::filesystem::directory_iterator();
  return false;
}

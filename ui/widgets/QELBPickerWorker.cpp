#include "ui/widgets/QELBPickerWorker.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

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
  Ref<LLKCMessage> message = LLKCMessage::messageWithCode(LLKTMessageCode{kQELPickerUidList, tag_, generation_}, payload);
  if (!message) return;
  if (last) (void)message->details().storeBool(true, "last");
  if (error) (void)message->details().storeBool(true, "error");
  (void)link_->deliver(message);
}

bool QELBPickerWorker::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message || message->uid() != kQELPickerUidList) return false;
  Ref<LLKCFSFolder> folder = message->payloadAs<LLKCFSFolder>();
  if (!folder) return false;
  // A new listing replaces the one under way, whose remaining names are dropped.
  generation_ = message->ctx();
  folder_ = folder->fullPath();
  names_.clear();
  next_ = 0;
  reading_ = false;
  std::error_code error;
  try {
    for (std::filesystem::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
      std::string name = it->path().filename().string();
      if (!name.empty() && name[0] != '.') names_.push_back(std::move(name));
    }
  } catch (const std::exception&) {
    error = std::make_error_code(std::errc::not_enough_memory);
  }
  if (error) {
    names_.clear();
    deliver(nullptr, true, true);
    return true;
  }
  std::sort(names_.begin(), names_.end());  // the batches come in name order
  reading_ = true;
  return true;
}

Ref<LLKCObjectList> QELBPickerWorker::readBatch() {
  Ref<LLKCObjectList> list = LLKCObjectList::listWithCapacity(batch_);
  while (list && list->count() < batch_ && next_ < names_.size()) {
    const std::string& name = names_[next_++];
    std::string path = folder_ + (folder_.empty() || folder_.back() != '/' ? "/" : "") + name;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) continue;  // a broken link, or gone since the names were read
    Ref<LLKBFSEntry> entry;
    if (S_ISDIR(info.st_mode))
      entry = LLKCFSFolder::folderWithPath(path.c_str());
    else if (withFiles_)
      entry = LLKCFSFile::fileWithFullPath(path.c_str());
    if (!entry) continue;
    double time = static_cast<double>(info.st_mtim.tv_sec) + static_cast<double>(info.st_mtim.tv_nsec) * 1e-9;
    (void)list->append(makeRef<QELCPickerEntry>(std::move(entry), name, static_cast<uint64_t>(info.st_size), time));
  }
  return list;
}

bool QELBPickerWorker::onRunning() {
  if (!reading_) return false;
  Ref<LLKCObjectList> list = readBatch();
  if (!list) return true;
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
  names_.clear();
  return false;
}

#pragma once
// The background reader of a file or folder picker: a handler thread that lists the folder it
// is posted (uid 6, the listing's generation in ctx) and hands the entries back in batches on
// the window's thread, each batch carrying the generation of its listing so that the picker
// drops the batches of a listing it abandoned.
//
// Threads: the picker posts to the worker; the worker answers only through its link, which runs
// the picker's onMessaged on the window's thread while the picker lives. The worker owns its
// folder iterator: nothing it reads with is shared with the picker. Entries come in the file
// system's order; the pickers sort what they show.
// The picker makes a worker when it is attached to a window and stops and joins it when it is
// detached or freed, and cuts the link first, so nothing reaches a picker that is gone.
//
// The last batch of a listing carries "last"; a folder that cannot be read ends its listing
// with a batch without payload carrying "last" and "error".
#include <cstdint>
#include <filesystem>
#include <string>

#include "framework/core/LLKBHandler.h"
#include "framework/core/LLKCFSFolder.h"
#include "framework/core/LLKCObjectList.h"

class QELBWidget;
class QELBWindow;

// Carries a worker's messages to the picker on the window's thread without keeping it alive.
class QELCPickerLink : public LLKBObject {
public:
  QELCPickerLink(QELBWidget* picker, QELBWindow* window) : picker_(picker), window_(window) {}
  // Any thread, while the picker is attached to the window.
  bool deliver(Ref<LLKCMessage> message);
  // Window thread: nothing more reaches the picker.
  void cut() { picker_ = nullptr; }

private:
  QELBWidget* picker_;  // read and cut on the window's thread only
  QELBWindow* window_;
};

enum : uint32_t {
  kQELPickerUidList = 6,    // a listing: the picker's request, the worker's batches
  kQELPickerTagStart = 0,   // the picker asks for the folder in the payload
  kQELPickerTagFiles = 3,   // a batch of files and folders
  kQELPickerTagFolders = 4  // a batch of folders
};

class QELBPickerWorker : public LLKBHandler {
public:
  ~QELBPickerWorker() override;

protected:
  // Batches of `batch` entries tagged `tag`; files are read too with `withFiles`.
  QELBPickerWorker(Ref<QELCPickerLink> link, uint32_t tag, size_t batch, bool withFiles);

  bool onMessaged(const Ref<LLKCMessage>& message) override;
  bool onRunning() override;

private:
  // Up to a batch of entries read on from the iterator.
  Ref<LLKCObjectList> readBatch();
  void deliver(Ref<LLKBObject> payload, bool last, bool error = false);

  Ref<QELCPickerLink> link_;
  uint32_t tag_;
  size_t batch_;
  bool withFiles_;
  bool reading_ = false;
  uint32_t generation_ = 0;
  std::filesystem::directory_iterator iterator_;
};

// Files and folders in batches of 4, a millisecond apart; after the last non-empty batch one
// without payload.
class QELCFilePickerWorker : public QELBPickerWorker {
public:
  explicit QELCFilePickerWorker(Ref<QELCPickerLink> link);
};

// Folders in batches of 16; the last batch may be empty.
class QELCFolderPickerWorker : public QELBPickerWorker {
public:
  explicit QELCFolderPickerWorker(Ref<QELCPickerLink> link);
};

#pragma once
// One entry of a folder as a picker worker read it: the file or folder, and for a file its size
// and time, looked at on the worker's thread so that the window never waits for the disk. The
// name is kept as the file system has it (any bytes); shownName() is always valid UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/core/LLKBFSEntry.h"
#include "framework/core/LLKCFSFile.h"
#include "framework/core/LLKCFSFolder.h"

class QELCPickerEntry : public LLKBObject {
public:
  // Made by the workers (size and time taken once, on their thread).
  QELCPickerEntry(Ref<LLKBFSEntry> entry, std::string name, uint64_t size, double time);

  LLKCFSFile* file() const { return entry_->asFile(); }
  LLKCFSFolder* folder() const { return entry_->asFolder(); }
  const Ref<LLKBFSEntry>& entry() const { return entry_; }
  const std::string& name() const { return name_; }
  const std::string& shownName() const { return shownName_; }
  uint64_t size() const { return size_; }
  // The time of the last change, seconds since 1970.
  double time() const { return time_; }

private:
  Ref<LLKBFSEntry> entry_;
  std::string name_, shownName_;
  uint64_t size_ = 0;
  double time_ = 0;
};

// "1023 B", "1.5 KB", "2.0 MB", "1.0 GB".
std::string QELFFilePickerSizeText(uint64_t bytes);
// Local time as "%d %b %y %T"; "" when it cannot be converted.
std::string QELFFilePickerDateText(double seconds);

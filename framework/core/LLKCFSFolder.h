#pragma once
// A folder by path, read entry by entry. The entries are taken when reading starts (at the
// first nextEntry after making or rewinding) and come in name order, so the position is stable
// while the folder changes on disk. Reading is not locked: one thread at a time.
#include "framework/core/LLKBFSEntry.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class LLKCFSFolder : public LLKBFSEntry {
public:
  // Null unless the path names an existing folder.
  [[nodiscard]] static Ref<LLKCFSFolder> folderWithFullPath(const char* path);
  // The folder at path, which need not exist (touch makes it); null for a null or empty path.
  [[nodiscard]] static Ref<LLKCFSFolder> folderWithPath(const char* path);
  // The folder called name inside path; null for an empty name or one holding '/'.
  [[nodiscard]] static Ref<LLKCFSFolder> folderWithPath(const char* path, std::string_view name);

  LLKCFSFolder* asFolder() override { return this; }

  // Makes the folder and any missing folders above it; true when it exists afterwards.
  bool touch() const;
  // Starts reading again from the first entry.
  void rewind();
  // The next entry (a file or a folder; "." and ".." never), or null at the end or when the
  // folder cannot be read.
  Ref<LLKBFSEntry> nextEntry();
  // The path of name inside this folder.
  std::string makePath(std::string_view name) const;

private:
  explicit LLKCFSFolder(std::string path) : LLKBFSEntry(std::move(path)) {}
  void list();

  std::vector<std::string> names_;
  size_t next_ = 0;
  bool listed_ = false;
};

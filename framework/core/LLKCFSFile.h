#pragma once
// A file by path.
#include "framework/core/LLKBFSEntry.h"

#include <cstdint>
#include <string_view>

class LLKCFSFolder;

class LLKCFSFile : public LLKBFSEntry {
public:
  // Null for a null or empty path. The file need not exist.
  [[nodiscard]] static Ref<LLKCFSFile> fileWithFullPath(const char* path);
  // The file called name in the folder; null for an empty name or one holding '/'.
  [[nodiscard]] static Ref<LLKCFSFile> fileWithParent(const LLKCFSFolder& parent, std::string_view name);

  LLKCFSFile* asFile() override { return this; }

  // The part of the name after its last '.', "" when there is none (".profile" has none).
  std::string extension() const;
  // The name without the extension and its dot.
  std::string basename() const;
  // In bytes; 0 when the file cannot be looked at.
  uint64_t size() const;
  // The time of the last change, seconds since 1970; false when the file cannot be looked at.
  bool getTime(double* seconds) const;

private:
  friend class LLKCFSFolder;
  explicit LLKCFSFile(std::string path) : LLKBFSEntry(std::move(path)) {}
};

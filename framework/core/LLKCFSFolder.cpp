#include "framework/core/LLKCFSFolder.h"

#include "framework/core/LLKCFSFile.h"

#include <algorithm>
#include <filesystem>

Ref<LLKCFSFolder> LLKCFSFolder::folderWithPath(const char* path) {
  if (!path || !*path) return nullptr;
  return adoptRef(new LLKCFSFolder(path));
}

Ref<LLKCFSFolder> LLKCFSFolder::folderWithFullPath(const char* path) {
  std::error_code error;
  if (!path || !*path || !std::filesystem::is_directory(path, error)) return nullptr;
  return folderWithPath(path);
}

Ref<LLKCFSFolder> LLKCFSFolder::folderWithPath(const char* path, std::string_view name) {
  if (!path || !*path || name.empty() || name.find('/') != std::string_view::npos) return nullptr;
  Ref<LLKCFSFolder> above = folderWithPath(path);
  return above ? folderWithPath(above->makePath(name).c_str()) : nullptr;
}

std::string LLKCFSFolder::makePath(std::string_view name) const {
  std::string path = fullPath();
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

bool LLKCFSFolder::touch() const {
  std::error_code error;
  std::filesystem::create_directories(fullPath(), error);
  return std::filesystem::is_directory(fullPath(), error);
}

void LLKCFSFolder::rewind() {
  names_.clear();
  next_ = 0;
  listed_ = false;
}

void LLKCFSFolder::list() {
  listed_ = true;
  try {
    std::error_code error;
    for (std::filesystem::directory_iterator it(fullPath(), error), end; !error && it != end; it.increment(error))
      names_.push_back(it->path().filename().string());
    std::sort(names_.begin(), names_.end());
  } catch (const std::exception&) {
    names_.clear();
  }
}

Ref<LLKBFSEntry> LLKCFSFolder::nextEntry() {
  if (!listed_) list();
  if (next_ >= names_.size()) return nullptr;
  std::string path = makePath(names_[next_++]);
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return adoptRef(new LLKCFSFolder(path));
  return adoptRef(new LLKCFSFile(path));
}

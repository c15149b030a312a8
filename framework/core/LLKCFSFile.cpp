#include "framework/core/LLKCFSFile.h"

#include "framework/core/LLKCFSFolder.h"

#include <sys/stat.h>

namespace {

// The offset of the extension's dot in the name, or npos.
size_t extensionDot(const std::string& name) {
  size_t dot = name.rfind('.');
  return (dot == std::string::npos || dot == 0) ? std::string::npos : dot;
}

}  // namespace

Ref<LLKCFSFile> LLKCFSFile::fileWithFullPath(const char* path) {
  if (!path || !*path) return nullptr;
  return adoptRef(new LLKCFSFile(path));
}

Ref<LLKCFSFile> LLKCFSFile::fileWithParent(const LLKCFSFolder& parent, std::string_view name) {
  if (name.empty() || name.find('/') != std::string_view::npos) return nullptr;
  return fileWithFullPath(parent.makePath(name).c_str());
}

std::string LLKCFSFile::extension() const {
  std::string whole = name();
  size_t dot = extensionDot(whole);
  return dot == std::string::npos ? std::string() : whole.substr(dot + 1);
}

std::string LLKCFSFile::basename() const {
  std::string whole = name();
  size_t dot = extensionDot(whole);
  return dot == std::string::npos ? whole : whole.substr(0, dot);
}

uint64_t LLKCFSFile::size() const {
  struct stat info {};
  return stat(fullPath().c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

bool LLKCFSFile::getTime(double* seconds) const {
  struct stat info {};
  if (!seconds || stat(fullPath().c_str(), &info) != 0) return false;
  *seconds = static_cast<double>(info.st_mtim.tv_sec) + static_cast<double>(info.st_mtim.tv_nsec) * 1e-9;
  return true;
}

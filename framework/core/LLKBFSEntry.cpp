#include "framework/core/LLKBFSEntry.h"

#include "framework/core/LLKCFSFolder.h"
#include "framework/core/LLKFFiles.h"

#include <filesystem>

std::string LLKBFSEntry::absFullPath() const { return LLKFTakeString(LLKFRelativeToAbsolutePath(path_.c_str())); }

std::string LLKBFSEntry::name() const {
  std::string trimmed = path_;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  size_t slash = trimmed.rfind('/');
  return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

bool LLKBFSEntry::exists() const { return LLKFDoesFilePathExists(path_.c_str()); }

Ref<LLKCFSFolder> LLKBFSEntry::parent() const {
  std::string absolute = absFullPath();
  if (absolute.empty() || absolute == "/") return nullptr;
  try {
    std::filesystem::path above = std::filesystem::path(absolute).parent_path();
    return LLKCFSFolder::folderWithPath(above.string().c_str());
  } catch (const std::exception&) {
    return nullptr;
  }
}

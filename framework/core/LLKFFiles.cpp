#include "framework/core/LLKFFiles.h"

#include "framework/core/LLKFLog.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

char* duplicate(const std::string& text) { return strdup(text.c_str()); }

const char* environment(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

std::string homeFolder() {
  if (const char* home = environment("HOME")) return home;
  struct passwd entry {};
  struct passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir) return found->pw_dir;
  return {};
}

bool writeAll(int fd, const void* bytes, size_t length) {
  const auto* cursor = static_cast<const char*>(bytes);
  while (length > 0) {
    ssize_t written = write(fd, cursor, length);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    cursor += written;
    length -= static_cast<size_t>(written);
  }
  return true;
}

// Makes a rename in the folder durable; a folder that cannot be opened is left as it is.
void syncFolderOf(const char* path) {
  std::string folder;
  try {
    folder = std::filesystem::path(path).parent_path().string();
  } catch (const std::exception&) {
    return;
  }
  int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

extern "C" char* LLKFGetPreferencesPath(void) {
  if (const char* forced = environment("VESKO_CONFIG_DIR")) return strdup(forced);
  if (const char* xdg = environment("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') return strdup(xdg);
  std::string home = homeFolder();
  if (home.empty()) return nullptr;
  return duplicate(home + "/.config");
}

extern "C" char* LLKFGetUserHomePath(void) {
  std::string home = homeFolder();
  return home.empty() ? nullptr : duplicate(home);
}

extern "C" char* LLKFRelativeToAbsolutePath(const char* path) {
  if (!path || !*path) return nullptr;
  try {
    return duplicate(std::filesystem::absolute(path).lexically_normal().string());
  } catch (const std::exception&) {
    return nullptr;
  }
}

extern "C" bool LLKFDoesFilePathExists(const char* path) {
  if (!path || !*path) return false;
  struct stat info {};
  return stat(path, &info) == 0;
}

extern "C" const char* LLKFStringGetFilenameFromPath(const char* path) {
  if (!path) return nullptr;
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

extern "C" bool LLKFWriteFileAtomically(const char* path, const void* bytes, size_t length) {
  if (!path || !*path || (!bytes && length)) return false;
  std::string temporary;
  try {
    temporary = std::string(path) + ".XXXXXX";
  } catch (const std::bad_alloc&) {
    return false;
  }
  int fd = mkstemp(temporary.data());
  if (fd < 0) {
    LLKFLog("LLKFWriteFileAtomically : cannot create a file beside %s : %s", path, std::strerror(errno));
    return false;
  }
  // Keep the mode of the file being replaced; a new file gets the usual 0644.
  struct stat existing {};
  fchmod(fd, stat(path, &existing) == 0 ? (existing.st_mode & 07777) : 0644);
  bool written = writeAll(fd, bytes, length) && fsync(fd) == 0;
  written = (close(fd) == 0) && written;
  if (written && rename(temporary.c_str(), path) == 0) {
    syncFolderOf(path);
    return true;
  }
  LLKFLog("LLKFWriteFileAtomically : cannot write %s : %s", path, std::strerror(errno));
  unlink(temporary.c_str());
  return false;
}

bool LLKFReadFile(const char* path, std::string& contents) {
  if (!path) return false;
  try {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
  } catch (const std::exception&) {
    return false;
  }
}

std::string LLKFTakeString(char* allocated) {
  if (!allocated) return {};
  std::string text;
  try {
    text = allocated;
  } catch (const std::bad_alloc&) {
  }
  std::free(allocated);
  return text;
}

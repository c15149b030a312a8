#include "framework/core/LLKFFiles.h"

#include "framework/core/LLKFLog.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
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

// Writes the bytes from the file's start, over what it held (a write cut short goes on where it
// stopped).
bool writeAll(int fd, const void* bytes, size_t length) {
  const auto* cursor = static_cast<const char*>(bytes);
  off_t offset = 0;
  while (length > 0) {
    ssize_t written = pwrite(fd, cursor, length, offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    cursor += written;
    offset += written;
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

namespace {

// Writes a temporary file beside the path, then puts it in place: renamed over the path, or,
// without replace, linked to the path only when nothing is there (link never replaces). False
// with the reason; *noRoom set when no file could be made beside the path (a folder that cannot
// be written), *exists when another file was in the way of a new one.
bool writeAtomically(const char* path, const void* bytes, size_t length, bool replace, std::string* reason,
                     bool* noRoom, bool* exists) {
  if (exists) *exists = false;
  auto fail = [&](const std::string& what) {
    if (reason) *reason = what + ": " + std::strerror(errno);
    return false;
  };
  if (!path || !*path || (!bytes && length)) {
    errno = EINVAL;
    return fail("cannot write");
  }
  std::string temporary = std::string(path) + ".XXXXXX";
  int fd = mkstemp(temporary.data());
  if (fd < 0) {
    if (noRoom) *noRoom = true;
    return fail(std::string("cannot create a file beside ") + path);
  }
  // Keep the mode of the file being replaced; a new file gets the usual 0644.
  struct stat existing {};
  fchmod(fd, replace && stat(path, &existing) == 0 ? (existing.st_mode & 07777) : 0644);
  bool written = writeAll(fd, bytes, length) && fsync(fd) == 0;
  written = (close(fd) == 0) && written;
  const bool placed =
      written && (replace ? rename(temporary.c_str(), path) == 0 : link(temporary.c_str(), path) == 0);
  const int error = errno;
  if (placed) {
    if (!replace) unlink(temporary.c_str());
    syncFolderOf(path);
    return true;
  }
  if (exists) *exists = written && error == EEXIST;
  unlink(temporary.c_str());
  errno = error;
  return fail(std::string("cannot write ") + path);
}

bool readAll(int fd, size_t length, std::string& contents) {
  contents.assign(length, '\0');
  size_t done = 0;
  while (done < length) {
    ssize_t got = pread(fd, contents.data() + done, length - done, static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

// Rewrites an existing regular file where it is, never cutting it first: the room for a longer
// text is taken before anything is written (a full disk refuses it then, the file untouched), the
// text goes over the old one from the start, and only then is the file cut to its new length. A
// write that fails on the way puts the old text back, in blocks the file already had.
bool writeInPlace(const char* path, const void* bytes, size_t length, std::string* reason) {
  auto fail = [&](int error, const char* what) {
    if (reason) *reason = std::string("cannot write ") + path + ": " + (what ? what : std::strerror(error));
    return false;
  };
  int fd = open(path, O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return fail(errno, nullptr);
  struct FdCloser {
    int fd;
    ~FdCloser() { close(fd); }
  } closer{fd};
  struct stat status {};
  if (fstat(fd, &status) != 0) return fail(errno, nullptr);
  if (!S_ISREG(status.st_mode)) return fail(0, "not a regular file");
  std::string old;
  if (!readAll(fd, static_cast<size_t>(status.st_size), old)) return fail(errno, nullptr);
  if (length > old.size() && fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(length)) != 0 &&
      errno != EOPNOTSUPP)
    return fail(errno, nullptr);
  if (writeAll(fd, bytes, length) && fsync(fd) == 0 &&
      (length >= old.size() || (ftruncate(fd, static_cast<off_t>(length)) == 0 && fsync(fd) == 0)))
    return true;
  const int error = errno;
  if (!writeAll(fd, old.data(), old.size()) || ftruncate(fd, static_cast<off_t>(old.size())) != 0 || fsync(fd) != 0)
    LLKFLog("LLKFWriteFileSafely : %s could not be put back as it was: %s", path, std::strerror(errno));
  return fail(error, nullptr);
}

}  // namespace

extern "C" bool LLKFWriteFileAtomically(const char* path, const void* bytes, size_t length) {
  std::string reason;
  if (writeAtomically(path, bytes, length, true, &reason, nullptr, nullptr)) return true;
  LLKFLog("LLKFWriteFileAtomically : %s", reason.c_str());
  return false;
}

extern "C" bool LLKFWriteNewFileAtomically(const char* path, const void* bytes, size_t length, bool* exists) {
  std::string reason;
  if (writeAtomically(path, bytes, length, false, &reason, nullptr, exists)) return true;
  LLKFLog("LLKFWriteNewFileAtomically : %s", reason.c_str());
  return false;
}

bool LLKFWriteFileSafely(const char* path, const void* bytes, size_t length, std::string* reason) {
  bool noRoom = false;
  if (writeAtomically(path, bytes, length, true, reason, &noRoom, nullptr)) return true;
  if (!noRoom || !LLKFDoesFilePathExists(path)) return false;
  return writeInPlace(path, bytes, length, reason);
}

bool LLKFCanWriteFile(const char* path, std::string* reason) {
  if (!path || !*path) {
    if (reason) *reason = "no path";
    return false;
  }
  // Tried, not judged from the permissions: an immutable folder refuses even its owner.
  std::string probe = std::string(path) + ".XXXXXX";
  int fd = mkstemp(probe.data());
  if (fd >= 0) {
    close(fd);
    unlink(probe.c_str());
    return true;
  }
  int error = errno;
  fd = open(path, O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd >= 0) {
    close(fd);
    return true;
  }
  if (reason) *reason = std::string("no file can be made beside ") + path + ": " + std::strerror(error);
  return false;
}

std::string LLKFByteCountText(size_t bytes) {
  if (bytes != 0 && bytes % (size_t{1} << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  if (bytes != 0 && bytes % (size_t{1} << 10) == 0) return std::to_string(bytes >> 10) + " KiB";
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

bool LLKFReadFile(const char* path, std::string& contents, std::string* reason, size_t limit) {
  auto fail = [reason](std::string why) {
    if (reason) *reason = std::move(why);
    return false;
  };
  if (!path || !*path) return fail("no path");
  // Opened without waiting, so that a pipe with no writer is refused rather than waited on.
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(std::string("cannot be read: ") + std::strerror(errno));
  struct FdCloser {
    int fd;
    ~FdCloser() { close(fd); }
  } closer{fd};
  struct stat status {};
  if (fstat(fd, &status) != 0) return fail(std::string("cannot be read: ") + std::strerror(errno));
  if (S_ISDIR(status.st_mode)) return fail("is a folder");
  if (!S_ISREG(status.st_mode)) return fail("is not a regular file");
  if (uint64_t(status.st_size) > limit) return fail("is larger than " + LLKFByteCountText(limit));
  std::string bytes(size_t(status.st_size), '\0');
  size_t length = 0;
  // A file that grows while it is read is read up to one byte past the limit, then refused.
  while (length <= limit) {
    if (length == bytes.size()) bytes.resize(std::min(limit + 1, bytes.size() + 65536));
    ssize_t got = read(fd, bytes.data() + length, bytes.size() - length);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return fail(std::string("cannot be read: ") + std::strerror(errno));
    if (got == 0) break;
    length += size_t(got);
  }
  if (length > limit) return fail("is larger than " + LLKFByteCountText(limit));
  bytes.resize(length);
  contents = std::move(bytes);
  return true;
}

std::string LLKFTakeString(char* allocated) {
  if (!allocated) return {};
  std::unique_ptr<char, decltype(&std::free)> owned(allocated, &std::free);
  return std::string(owned.get());
}

#pragma once
// Files and paths. Paths are UTF-8 C strings; the functions that return a path return a block
// from malloc that the caller frees with free() (LLKFTakeString does that for C++ callers).
#include <cstddef>
#include <string>

extern "C" {
// The user's preferences folder: $VESKO_CONFIG_DIR when set (tests), else $XDG_CONFIG_HOME when
// set and absolute, else ~/.config. Null when there is no home folder.
char* LLKFGetPreferencesPath(void);
// $HOME, else the password database's home folder; null when neither is known.
char* LLKFGetUserHomePath(void);
// The path made absolute against the working folder and cleaned of "." and ".." parts; the
// file need not exist. Null for a null or empty path.
char* LLKFRelativeToAbsolutePath(const char* path);
// True when something exists at the path.
bool LLKFDoesFilePathExists(const char* path);
// The last part of a path (a pointer into it): "b.json" for "/a/b.json"; null for null.
const char* LLKFStringGetFilenameFromPath(const char* path);
// Writes the bytes to a temporary file in the same folder, flushes it to disk and renames it
// over the path, so a crash never leaves half a file. True when the file is in place.
bool LLKFWriteFileAtomically(const char* path, const void* bytes, size_t length);
// The same for a file that must not be there yet: never replaces one. False when the file cannot
// be written, *exists (when given) telling whether that is because something is at the path.
bool LLKFWriteNewFileAtomically(const char* path, const void* bytes, size_t length, bool* exists);
}

// Writes the file atomically (LLKFWriteFileAtomically) and, when no file can be made beside it
// (its folder cannot be written, or holds no free inode), rewrites an existing file in place: the
// room is taken first and the old text put back when a write fails, so a failure always leaves the
// old file whole (only a crash in the middle may leave it half written). False with the one
// reason; nothing is logged unless the old text could not be put back.
bool LLKFWriteFileSafely(const char* path, const void* bytes, size_t length, std::string* reason);
// Whether LLKFWriteFileSafely could write the path now (a file can be made beside it, or the
// existing file opened for writing); false with the reason.
bool LLKFCanWriteFile(const char* path, std::string* reason);

// The largest file LLKFReadFile reads: solutions, settings and documents are far smaller.
inline constexpr size_t kLLKReadFileLimit = size_t{256} << 20;

// The whole file; false when it cannot be read, with the reason ("is a folder", "is not a
// regular file", "is larger than 256 MiB" or the limit given, "cannot be read: <system error>").
// Only regular files are read: a pipe would wait for a writer for ever, a device could never end.
bool LLKFReadFile(const char* path, std::string& contents, std::string* reason = nullptr,
                  size_t limit = kLLKReadFileLimit);
// A number of bytes as people read it: "8 MiB", "64 KiB", "100 bytes".
std::string LLKFByteCountText(size_t bytes);
// A path returned by the functions above as a string, the block freed; "" for null.
std::string LLKFTakeString(char* allocated);

#include "framework/core/LLKCFSFile.h"
#include "framework/core/LLKCFSFolder.h"
#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFTime.h"

#include "tests/core/TemporaryFolder.h"
#include "tests/support/FullFileSystem.h"
#include "tests/support/OutputCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Sets environment variables for one test and puts the old values back.
class Environment {
public:
  void set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~Environment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) setenv(it->first.c_str(), it->second->c_str(), 1);
      else unsetenv(it->first.c_str());
    }
  }

private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(Paths, PreferencesFolderFollowsTheOverrideThenXdgThenHome) {
  Environment env;
  env.set("VESKO_CONFIG_DIR", "/tmp/vesko-test-config");
  env.set("XDG_CONFIG_HOME", "/xdg");
  env.set("HOME", "/home/someone");
  EXPECT_EQ(LLKFTakeString(LLKFGetPreferencesPath()), "/tmp/vesko-test-config");
  env.set("VESKO_CONFIG_DIR", nullptr);
  EXPECT_EQ(LLKFTakeString(LLKFGetPreferencesPath()), "/xdg");
  env.set("XDG_CONFIG_HOME", "relative/ignored");
  EXPECT_EQ(LLKFTakeString(LLKFGetPreferencesPath()), "/home/someone/.config");
  env.set("XDG_CONFIG_HOME", "");
  EXPECT_EQ(LLKFTakeString(LLKFGetPreferencesPath()), "/home/someone/.config");
  EXPECT_EQ(LLKFTakeString(LLKFGetUserHomePath()), "/home/someone");
}

TEST(Paths, RelativePathsBecomeCleanAbsolutePaths) {
  char* cwd = getcwd(nullptr, 0);
  std::string here = cwd;
  std::free(cwd);
  EXPECT_EQ(LLKFTakeString(LLKFRelativeToAbsolutePath("./rsc")), here + "/rsc");
  EXPECT_EQ(LLKFTakeString(LLKFRelativeToAbsolutePath("/a/b/../c/./d")), "/a/c/d");
  EXPECT_EQ(LLKFRelativeToAbsolutePath(""), nullptr);
  EXPECT_EQ(LLKFRelativeToAbsolutePath(nullptr), nullptr);
  EXPECT_STREQ(LLKFStringGetFilenameFromPath("/data/qav/x.bin"), "x.bin");
  EXPECT_STREQ(LLKFStringGetFilenameFromPath("plain"), "plain");
  EXPECT_FALSE(LLKFDoesFilePathExists(nullptr));
  EXPECT_FALSE(LLKFDoesFilePathExists("/no/such/path"));
  EXPECT_TRUE(LLKFDoesFilePathExists("/"));
}

TEST(Folder, ListsEntriesInNameOrderAndRewinds) {
  TemporaryFolder temp;
  for (const char* name : {"b.jpg", "a.json", "c.jpg"}) std::ofstream(temp.file(name)) << "x";
  Ref<LLKCFSFolder> sub = LLKCFSFolder::folderWithPath(temp.path().c_str(), "sub");
  ASSERT_TRUE(sub->touch());

  Ref<LLKCFSFolder> folder = LLKCFSFolder::folderWithFullPath(temp.path().c_str());
  ASSERT_TRUE(folder);
  std::string seen;
  while (Ref<LLKBFSEntry> entry = folder->nextEntry()) seen += entry->name() + (entry->asFolder() ? "/ " : " ");
  EXPECT_EQ(seen, "a.json b.jpg c.jpg sub/ ");
  EXPECT_FALSE(folder->nextEntry());  // stays at the end
  folder->rewind();
  Ref<LLKBFSEntry> first = folder->nextEntry();
  ASSERT_TRUE(first && first->asFile());
  EXPECT_EQ(first->asFile()->extension(), "json");
  EXPECT_EQ(first->parent()->absFullPath(), folder->absFullPath());
}

TEST(Folder, OnlyExistingFoldersOpenByFullPath) {
  TemporaryFolder temp;
  std::ofstream(temp.file("file.txt")) << "x";
  EXPECT_FALSE(LLKCFSFolder::folderWithFullPath(temp.file("file.txt").c_str()));
  EXPECT_FALSE(LLKCFSFolder::folderWithFullPath(temp.file("missing").c_str()));
  EXPECT_FALSE(LLKCFSFolder::folderWithFullPath(nullptr));
  EXPECT_FALSE(LLKCFSFolder::folderWithPath(temp.path().c_str(), "a/b"));
  Ref<LLKCFSFolder> deep = LLKCFSFolder::folderWithPath(temp.file("x/y/z").c_str());
  EXPECT_FALSE(deep->exists());
  EXPECT_TRUE(deep->touch());
  EXPECT_TRUE(deep->exists());
  Ref<LLKCFSFolder> unreadable = LLKCFSFolder::folderWithPath(temp.file("gone").c_str());
  EXPECT_FALSE(unreadable->nextEntry());
  EXPECT_FALSE(LLKCFSFolder::folderWithPath("/")->parent());
}

TEST(File, NamePartsSizeAndTime) {
  TemporaryFolder temp;
  std::ofstream(temp.file("sample.tar.gz")) << "12345";
  Ref<LLKCFSFolder> folder = LLKCFSFolder::folderWithFullPath(temp.path().c_str());
  Ref<LLKCFSFile> file = LLKCFSFile::fileWithParent(*folder, "sample.tar.gz");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->extension(), "gz");
  EXPECT_EQ(file->basename(), "sample.tar");
  EXPECT_EQ(file->size(), 5u);
  double seconds = 0;
  EXPECT_TRUE(file->getTime(&seconds));
  EXPECT_NEAR(seconds, LLKFNowInS(), 60);

  struct Case {
    const char* path;
    const char* extension;
    const char* basename;
  };
  for (const Case& c : {Case{"/a/.profile", "", ".profile"}, Case{"/a/noext", "", "noext"}, Case{"/a.b/c", "", "c"}}) {
    Ref<LLKCFSFile> f = LLKCFSFile::fileWithFullPath(c.path);
    EXPECT_EQ(f->extension(), c.extension) << c.path;
    EXPECT_EQ(f->basename(), c.basename) << c.path;
  }
  Ref<LLKCFSFile> missing = LLKCFSFile::fileWithFullPath(temp.file("none").c_str());
  EXPECT_FALSE(missing->exists());
  EXPECT_EQ(missing->size(), 0u);
  EXPECT_FALSE(missing->getTime(&seconds));
  EXPECT_FALSE(LLKCFSFile::fileWithFullPath(""));
  EXPECT_FALSE(LLKCFSFile::fileWithParent(*folder, "a/b"));
}

TEST(Time, ClocksAndFormatting) {
  int64_t before = LLKFNowInMS();
  LLKFSnoozeMS(2);
  EXPECT_GE(LLKFNowInMS() - before, 2);
  struct tm local {};
  ASSERT_TRUE(LLKFThenInLocalTime(0.0, &local));
  char text[64];
  EXPECT_GT(LLKFTimeToString(&local, "%d %b %y %T", text, sizeof text), 0u);
  char tiny[2];
  EXPECT_EQ(LLKFTimeToString(&local, "%d %b %y %T", tiny, sizeof tiny), 0u);
  EXPECT_STREQ(tiny, "");
  EXPECT_FALSE(LLKFThenInLocalTime(1e300, &local));
}

// Only regular files are read, up to the limit: a pipe with no writer or a device would block or
// grow for ever. Each refusal says why.
TEST(File, ReadsOnlyRegularFilesOfBoundedSize) {
  TemporaryFolder folder;
  const std::string plain = folder.file("plain.json"), pipe = folder.file("pipe"), huge = folder.file("huge");
  std::ofstream(plain) << "{}";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::ofstream(huge).close();
  ASSERT_EQ(truncate(huge.c_str(), off_t(kLLKReadFileLimit) + 1), 0);  // sparse: no disk taken
  struct Case {
    std::string path;
    bool read;
    std::string reason;
  } cases[] = {
      {plain, true, ""},
      {folder.path(), false, "is a folder"},
      {pipe, false, "is not a regular file"},
      {"/dev/zero", false, "is not a regular file"},
      {huge, false, "is larger than 256 MiB"},
      {folder.file("missing"), false, "cannot be read: No such file or directory"},
  };
  for (const Case& c : cases) {
    std::string contents, reason;
    EXPECT_EQ(LLKFReadFile(c.path.c_str(), contents, &reason), c.read) << c.path;
    EXPECT_EQ(reason, c.reason) << c.path;
    if (c.read) {
      EXPECT_EQ(contents, "{}");
    }
  }
}

// Console lines are diagnostics: they go to standard error, never into a program's output.
TEST(Console, LinesGoToStandardError) {
  std::string printed, diagnosed;
  {
    StreamTap out(STDOUT_FILENO), err(STDERR_FILENO);
    LLKFConsolePrintf("segmenter : a line");
    LLKFConsoleExit();
    printed = out.take();
    diagnosed = err.take();
  }
  EXPECT_EQ(printed, "");
  EXPECT_EQ(diagnosed, "segmenter : a line\n");
}

TEST(Console, LinesReachTheSinkWhole) {
  std::vector<std::string> lines;
  LLKFConsoleSetQuiet(true);
  auto previous = LLKFConsoleSetSink([&](const std::string& line) { lines.push_back(line); });
  EXPECT_TRUE(LLKFConsoleInit(0));
  LLKFConsolePrintf("%s : unknown command", "stage");
  LLKFConsolePrintf("done\n");
  LLKFConsoleExit();
  LLKFConsoleSetSink(previous);
  LLKFConsoleSetQuiet(false);
  EXPECT_EQ(lines, (std::vector<std::string>{"stage : unknown command", "done"}));
}

}  // namespace

// A new file is written only where nothing is: a file there is never replaced, and says so.
TEST(Files, ANewFileNeverReplacesOneThere) {
  TemporaryFolder temp;
  const std::string path = temp.file("sample.bin");
  bool exists = true;
  ASSERT_TRUE(LLKFWriteNewFileAtomically(path.c_str(), "first", 5, &exists));
  EXPECT_FALSE(exists);
  EXPECT_FALSE(LLKFWriteNewFileAtomically(path.c_str(), "second", 6, &exists));
  EXPECT_TRUE(exists);
  std::string contents;
  ASSERT_TRUE(LLKFReadFile(path.c_str(), contents));
  EXPECT_EQ(contents, "first");
  EXPECT_FALSE(LLKFWriteNewFileAtomically(temp.file("none/sample.bin").c_str(), "x", 1, &exists));
  EXPECT_FALSE(exists) << "a folder that is not there is another failure";
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(temp.path())) ++entries;
  EXPECT_EQ(entries, 1u) << "no temporary file left behind";
}

// On a disk without a free block or inode no file can be made beside the settings, so they are
// rewritten in place: a text that needs more room than the file has is refused with the disk's
// reason and the old file stays whole; one that fits in the file's own room replaces it.
TEST(Files, AFullDiskLeavesTheOldFileWholeOrRewritesItInItsOwnRoom) {
  struct Case {
    const char* name;
    size_t oldLength, newLength;
    bool written;
  };
  const Case cases[] = {
      {"a longer text than the old one's blocks hold", 3000, 6000, false},
      {"a shorter text", 3000, 1000, true},
      {"a longer text within the old one's blocks", 6000, 7000, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TemporaryFolder temp;
    FullFileSystem disk(temp.path(), 64 * 1024, 16);
    if (!disk.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
    const std::string path = temp.file("config.json");
    const std::string old(c.oldLength, 'o'), text(c.newLength, 'n');
    ASSERT_TRUE(LLKFWriteFileAtomically(path.c_str(), old.data(), old.size()));
    ASSERT_TRUE(disk.fill());
    std::string reason;
    EXPECT_EQ(LLKFWriteFileSafely(path.c_str(), text.data(), text.size(), &reason), c.written) << reason;
    if (!c.written) {
      EXPECT_NE(reason.find("No space left on device"), std::string::npos) << reason;
    }
    std::string contents;
    ASSERT_TRUE(LLKFReadFile(path.c_str(), contents));
    EXPECT_EQ(contents == text, c.written);
    EXPECT_EQ(contents == old, !c.written) << contents.size() << " bytes";
  }
}

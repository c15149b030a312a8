#include "framework/core/LLKCFSFile.h"
#include "framework/core/LLKCFSFolder.h"
#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFTime.h"

#include "tests/core/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~Environment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second)
        setenv(it->first.c_str(), it->second->c_str(), 1);
      else
        unsetenv(it->first.c_str());
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

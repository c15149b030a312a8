// How the real program ends, under a display with its own settings and data folders: closing the
// terminal that started it (SIGHUP) ends it as SIGTERM does, a settings folder on a full disk
// keeps the settings file of the last run whole, and a load underway does not hold the end.
// Screenshots go under the build folder.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>

#include "framework/core/JSKCString.h"
#include "tests/app/WorkbenchFixture.h"
#include "tests/support/FullFileSystem.h"

namespace {

using WorkbenchEndingTest = WorkbenchFixture;

std::string readWhole(const std::string& path) {
  std::string text;
  LLKFReadFile(path.c_str(), text);
  return text;
}

TEST_F(WorkbenchEndingTest, SIGHUPEndsItAsSIGTERMDoesWithItsSettingsWritten) {
  writeStatisticsOpenConfig();
  ScreenRect window;
  auto program = startDemo(&window);
  ASSERT_FALSE(HasFailure());
  (void)capture("ending-before-sighup", &window, drawnAt(window, 40, 150));
  ASSERT_TRUE(program->signal(SIGHUP));
  ASSERT_EQ(program->waitForExit(), 0) << program->output();
  EXPECT_EQ(recents(), std::vector<std::string>{demo}) << program->output();
  Ref<JSKCFrame> stats = config()->frameForLabel("ui.stats.ctm");
  ASSERT_TRUE(stats);
  EXPECT_TRUE(stats->boolForLabel("visible", false));
}

// The settings folder is on a disk that is full when the program ends (no free block, no free
// inode): the settings of this run cannot be saved, which the program says, and the file of the
// last run, larger than one block, stays as it was to the byte.
TEST_F(WorkbenchEndingTest, AFullDiskAtTheEndLeavesTheSettingsOfTheLastRunWhole) {
  const std::string folder = settings.path() + "/vesko";
  std::filesystem::create_directories(folder);
  FullFileSystem disk(folder, 64 * 1024, 16);
  if (!disk.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
  // Settings of the last run that all but fill one block of 4096 bytes: this run's, with its
  // recents, need a second one.
  writeStatisticsOpenConfig();
  Ref<JSKCFrame> seeded = config();
  const std::string key = "kept.by.the.last.run";
  (void)seeded->store(JSKCString::stringWithString(""), key);
  writeConfig(*seeded);
  (void)seeded->store(JSKCString::stringWithString(std::string(4090 - readWhole(configPath()).size(), 'k')), key);
  writeConfig(*seeded);
  const std::string before = readWhole(configPath());
  ASSERT_EQ(before.size(), 4090u);

  ScreenRect window;
  auto program = startDemo(&window);
  ASSERT_FALSE(HasFailure());
  ASSERT_TRUE(disk.fill());
  (void)capture("ending-on-a-full-disk", &window, drawnAt(window, 40, 150));
  ASSERT_TRUE(program->signal(SIGTERM));
  ASSERT_EQ(program->waitForExit(), 0) << program->output();
  EXPECT_NE(program->output().find("the settings are not saved"), std::string::npos) << program->output();
  EXPECT_NE(program->output().find("No space left on device"), std::string::npos) << program->output();
  EXPECT_EQ(readWhole(configPath()), before) << "the settings of the last run were damaged";
}

// SIGTERM while a solution of two thousand processors loads, its last processor slow to start:
// the program ends without waiting for the load (waiting would take 30 s), says so, and writes
// its settings first. (How ending time grows with the processors is measured in bench/substrate.)
TEST_F(WorkbenchEndingTest, SIGTERMDuringTheLoadOfManyProcessorsEndsWithoutWaitingForIt) {
  std::string text = R"json({"modules": ["zrnprobes"], "processors": [)json";
  for (int i = 0; i < 2000; ++i) text += R"json({"class": "ZRNCProbe", "label": "many"}, )json";
  text += R"json({"class": "ZRNCProbe", "label": "lingerer", "properties": {"linger": 30}}]})json";
  const std::string many = writeSolution("many.json", text.c_str());
  auto program = start({many});
  ASSERT_TRUE(program->waitForOutput("lingerer : lingering 30 s in its attach hook")) << program->output();
  ScreenRect window;
  ASSERT_TRUE(WorkbenchFindWindow("vesko", &window));
  (void)capture("ending-during-a-load", &window, drawnAt(window, 78, 13));
  ASSERT_TRUE(program->signal(SIGTERM));
  ASSERT_EQ(program->waitForExit(std::chrono::seconds(20)), 0) << program->output();
  EXPECT_NE(program->output().find("vesko : ending without waiting for the load of " + many), std::string::npos)
      << program->output();
  EXPECT_TRUE(config()->frameForLabel("ui.stats.ctm")) << "the settings were not written";
}

}  // namespace

// The main window in process, on the display: opening publishes the constants and settles the
// data folder (the saved one when it exists, else the default made under XDG_DATA_HOME), and the
// observer follows the stage's ticks until closing.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <thread>

#include "app/shell/VSKCWindow.h"
#include "framework/app/ZRVCApplication.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/gl/OGLTestXServer.h"
#include "ui/gl/OGLBWindow.h"

namespace {

std::string constantText(const char* key) {
  Ref<MRKCString> text = MRKCSubstrate::shared()->constants()->fetch<MRKCString>(key);
  return text ? std::string(text->value()) : std::string();
}

// Runs the window with its application until it opened, checks, then closes it as Quit does.
void runOpened(const std::function<void(VSKCWindow&)>& check) {
  Ref<VSKCWindow> window = VSKCWindow::window();
  ASSERT_TRUE(window);
  char name[] = "vesko-test";
  char* argv[] = {name, nullptr};
  Ref<ZRVCApplication> application = ZRVCApplication::applicationWithName("vesko", window.get(), 1, argv);
  ASSERT_TRUE(application && application->start());
  application->ready()->wait();
  std::atomic<bool> opened{false};
  ASSERT_TRUE(window->sched([&] {
    check(*window);
    opened = true;
    window->stop();
  }));
  EXPECT_TRUE(window->startSync());
  application->stopAndJoin();
  EXPECT_TRUE(opened.load());
}

class WindowOpeningTest : public ::testing::Test {
protected:
  // The GL layer stays open to the end: closing it unloads the software driver, whose blocks
  // the leak checker could then no longer tell from ours.
  static void SetUpTestSuite() { opened = OGLTestEnsureDisplay() && OGLFInit(); }
  void SetUp() override {
    ASSERT_TRUE(opened);
    setenv("VESKO_CONFIG_DIR", settings.path().c_str(), 1);
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
  }
  static inline bool opened = false;
  TemporaryFolder settings, data;
};

TEST_F(WindowOpeningTest, PublishesTheConstantsAndUsesTheDefaultDataFolder) {
  runOpened([&](VSKCWindow& window) {
    std::string folder = data.path() + "/vesko";
    EXPECT_EQ(window.dataPath(), folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(constantText("path.data"), folder);
    EXPECT_TRUE(std::filesystem::exists(constantText("path.rscs") + "/app.json")) << constantText("path.rscs");
    Ref<MRKCNumber> ux = MRKCSubstrate::shared()->constants()->fetch<MRKCNumber>("vesko.ux");
    EXPECT_TRUE(ux && ux->boolean());
    EXPECT_TRUE(window.observer()->isAttached());
    EXPECT_EQ(window.observer()->target().get(), window.stats().view.get());
    ASSERT_TRUE(window.menubar());
  });
}

TEST_F(WindowOpeningTest, UsesTheSavedDataFolderWhileItExists) {
  std::string saved = data.path() + "/elsewhere";
  std::filesystem::create_directories(saved);
  std::filesystem::create_directories(settings.path() + "/vesko");
  std::string text = "{\"data.path\": \"" + saved + "\"}";
  FILE* file = std::fopen((settings.path() + "/vesko/config.json").c_str(), "w");
  ASSERT_TRUE(file);
  std::fputs(text.c_str(), file);
  std::fclose(file);
  runOpened([&](VSKCWindow& window) { EXPECT_EQ(window.dataPath(), saved); });
  std::filesystem::remove(saved);
  runOpened([&](VSKCWindow& window) { EXPECT_EQ(window.dataPath(), data.path() + "/vesko"); });
}

}  // namespace

// The real program under a display, with its own settings and data folders: it opens its
// window, runs the solution named on its command line, writes its settings when SIGINT or
// SIGTERM ends it and restores them at the next start. Screenshots go under the build folder.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCString.h"
#include "framework/core/LLKFFiles.h"
#include "tests/app/WorkbenchProcess.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/gl/OGLTestXServer.h"
#include "ui/gl/OGLFValueCoding.h"
#include "ui/widgets/QELBApplication.h"

namespace {

std::string sourcePath(const std::string& relative) {
  const char* root = std::getenv("VESKO_SOURCE_DIR");
  return std::filesystem::weakly_canonical(std::filesystem::path(root ? root : ".") / relative).string();
}

class WorkbenchTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(OGLTestEnsureDisplay());
    std::filesystem::create_directories(VESKO_SCREENSHOT_DIR);
  }

  std::unique_ptr<WorkbenchProcess> start(const std::vector<std::string>& arguments) {
    return std::make_unique<WorkbenchProcess>(
        VESKO_PROGRAM, arguments,
        std::vector<std::string>{"VESKO_CONFIG_DIR=" + settings.path(), "XDG_DATA_HOME=" + data.path()});
  }
  std::string configPath() const { return settings.path() + "/vesko/config.json"; }
  Ref<JSKCFrame> config() const { return QELFApplicationReadConfig(configPath().c_str()); }
  void writeConfig(const JSKCFrame& frame) const {
    std::filesystem::create_directories(settings.path() + "/vesko");
    ASSERT_TRUE(QELFApplicationWriteJSON(configPath().c_str(), &frame));
  }
  std::vector<std::string> recents() const {
    std::vector<std::string> paths;
    Ref<JSKCFrame> frame = config()->frameForLabel("load.recents");
    Ref<JSKCArray> items = frame ? frame->arrayForLabel("items") : nullptr;
    for (size_t i = 0; items && i < items->count(); ++i)
      if (Ref<JSKCString> item = refCast<JSKCString>(items->atIndex(i))) paths.push_back(item->string());
    return paths;
  }
  std::string writeSolution(const char* name, const char* text) const {
    std::string path = data.path() + "/" + name;
    EXPECT_TRUE(LLKFWriteFileAtomically(path.c_str(), text, std::strlen(text)));
    return path;
  }
  // Waits for the window to show what the check wants (or the timeout), and saves what it shows
  // as name.png; the pixels for further checks.
  std::vector<uint8_t> capture(const char* name, ScreenRect* rect,
                               const std::function<bool(const std::vector<uint8_t>&)>& shows = nullptr) {
    EXPECT_TRUE(WorkbenchFindWindow("vesko", rect));
    std::vector<uint8_t> rgb = WorkbenchGrab(*rect);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (shows && !rgb.empty() && !shows(rgb) && std::chrono::steady_clock::now() < deadline)
      rgb = WorkbenchGrab(*rect);
    EXPECT_TRUE(WorkbenchSavePNG(rgb, *rect, std::string(VESKO_SCREENSHOT_DIR) + "/" + name + ".png"));
    return rgb;
  }

  TemporaryFolder settings, data;
  std::string demo = sourcePath("etc/vesko/demo.json");
};

TEST_F(WorkbenchTest, RunsTheCommandLineSolutionAndSigintWritesTheSettings) {
  Ref<JSKCFrame> seeded = JSKCFrame::frame();
  Ref<JSKCFrame> stats = JSKCFrame::frame();
  (void)stats->storeBool(true, "visible");
  (void)OGL::storePoint(*stats, {30, 140}, "position");
  (void)seeded->store(stats, "ui.stats.ctm");
  writeConfig(*seeded);

  auto program = start({demo});
  ASSERT_TRUE(program->started());
  ASSERT_TRUE(program->waitForOutput("loaded " + demo)) << program->output();
  // The statistics view is drawn where the settings put it; the far corner shows the background.
  ScreenRect window;
  auto at = [&](const std::vector<uint8_t>& rgb, int x, int y) {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * window.w + x) * 3];
    return std::array<uint8_t, 3>{p[0], p[1], p[2]};
  };
  auto viewShown = [&](const std::vector<uint8_t>& rgb) { return at(rgb, 40, 150) != at(rgb, window.w - 5, 5); };
  std::vector<uint8_t> rgb = capture("workbench-demo", &window, viewShown);
  ASSERT_FALSE(rgb.empty());
  EXPECT_TRUE(viewShown(rgb));

  ASSERT_TRUE(program->signal(SIGINT));
  EXPECT_EQ(program->waitForExit(), 0) << program->output();
  EXPECT_EQ(recents(), std::vector<std::string>{demo});
  Ref<JSKCFrame> saved = config()->frameForLabel("ui.stats.ctm");
  ASSERT_TRUE(saved);
  EXPECT_TRUE(saved->boolForLabel("visible", false));
  OGLTPoint position = OGL::pointForLabel(*saved, "position", {0, 0});
  EXPECT_EQ(position.x, 30);
  EXPECT_EQ(position.y, 140);
  EXPECT_TRUE(std::filesystem::is_directory(data.path() + "/vesko"));
}

TEST_F(WorkbenchTest, ARestartKeepsTheRecentsAndSigtermWritesTheSettingsToo) {
  auto first = start({demo});
  ASSERT_TRUE(first->waitForOutput("loaded " + demo)) << first->output();
  ASSERT_TRUE(first->signal(SIGTERM));
  ASSERT_EQ(first->waitForExit(), 0) << first->output();
  ASSERT_EQ(recents(), std::vector<std::string>{demo});

  std::string empty = writeSolution("empty.json", "{\"processors\": []}");
  auto second = start({empty});
  ASSERT_TRUE(second->waitForOutput("loaded " + empty)) << second->output();
  ScreenRect window;
  (void)capture("workbench-restart", &window);
  ASSERT_TRUE(second->signal(SIGINT));
  ASSERT_EQ(second->waitForExit(), 0) << second->output();
  EXPECT_EQ(recents(), (std::vector<std::string>{demo, empty}));
}

TEST_F(WorkbenchTest, ASolutionThatCannotBeLoadedIsReportedAndTheWorkbenchKeepsRunning) {
  struct Case {
    std::string argument;
    const char* said;
  };
  const Case cases[] = {
      {writeSolution("broken.json", "{\"processors\": ["), "Cannot load "},
      {data.path() + "/missing.json", "no such file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    auto program = start({c.argument});
    ASSERT_TRUE(program->waitForOutput(c.said)) << program->output();
    ScreenRect window;
    EXPECT_TRUE(WorkbenchFindWindow("vesko", &window));
    ASSERT_TRUE(program->signal(SIGINT));
    EXPECT_EQ(program->waitForExit(), 0) << program->output();
    EXPECT_TRUE(recents().empty());
  }
}

TEST_F(WorkbenchTest, WithoutADisplayItExitsWithAReason) {
  WorkbenchProcess program(VESKO_PROGRAM, {demo},
                           {"DISPLAY=:4095", "VESKO_CONFIG_DIR=" + settings.path(), "XDG_DATA_HOME=" + data.path()});
  EXPECT_EQ(program.waitForExit(), 1);
  EXPECT_NE(program.output().find("display"), std::string::npos) << program.output();
}

}  // namespace

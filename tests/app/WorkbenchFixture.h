#pragma once
// The real workbench program in a test: started with its own settings and data folders, its
// settings read and seeded, real clicks at points of its window (xdotool) and captures of what it
// shows saved as PNG files under the build folder. The including test defines VESKO_PROGRAM and
// VESKO_SCREENSHOT_DIR.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCString.h"
#include "framework/core/LLKFFiles.h"
#include "tests/app/WorkbenchProcess.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/gl/OGLTestXServer.h"
#include "ui/gl/OGLFValueCoding.h"
#include "ui/widgets/QELBApplication.h"

inline std::string sourcePath(const std::string& relative) {
  const char* root = std::getenv("VESKO_SOURCE_DIR");
  return std::filesystem::weakly_canonical(std::filesystem::path(root ? root : ".") / relative).string();
}

// In sanitizer builds the program's exit status must say how it ended, not what the software GL
// driver, unloaded at exit, left unfreed (its blocks cannot even be named then). Our own code is
// leak-checked in process by the other application tests.
inline const std::string kNoLeakCheck = "ASAN_OPTIONS=detect_leaks=0";

// Some pixel of the rect differs between the two captures of the window.
inline bool changedIn(const std::vector<uint8_t>& now, const std::vector<uint8_t>& before, const ScreenRect& window,
                      ScreenRect area) {
  for (int y = area.y; y < area.y + area.h && y < window.h; ++y)
    for (int x = area.x; x < area.x + area.w && x < window.w; ++x) {
      size_t i = (static_cast<size_t>(y) * window.w + x) * 3;
      if (now[i] != before[i] || now[i + 1] != before[i + 1] || now[i + 2] != before[i + 2]) return true;
    }
  return false;
}

class WorkbenchFixture : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(OGLTestEnsureDisplay());
    std::filesystem::create_directories(VESKO_SCREENSHOT_DIR);
  }

  std::unique_ptr<WorkbenchProcess> start(const std::vector<std::string>& arguments) {
    return std::make_unique<WorkbenchProcess>(
        VESKO_PROGRAM, arguments,
        std::vector<std::string>{"VESKO_CONFIG_DIR=" + settings.path(), "XDG_DATA_HOME=" + data.path(), kNoLeakCheck});
  }
  // Starts the demonstration and waits for it to be loaded and for the window.
  std::unique_ptr<WorkbenchProcess> startDemo(ScreenRect* window) {
    auto program = start({demo});
    EXPECT_TRUE(program->started());
    EXPECT_TRUE(program->waitForOutput("loaded " + demo)) << program->output();
    EXPECT_TRUE(WorkbenchFindWindow("vesko", window));
    return program;
  }
  std::string configPath() const { return settings.path() + "/vesko/config.json"; }
  Ref<JSKCFrame> config() const { return QELFApplicationReadConfig(configPath().c_str()); }
  void writeConfig(const JSKCFrame& frame) const {
    std::filesystem::create_directories(settings.path() + "/vesko");
    ASSERT_TRUE(QELFApplicationWriteJSON(configPath().c_str(), &frame));
  }
  // Settings under which the statistics view opens at start, clear of the menu bar.
  void writeStatisticsOpenConfig() const {
    Ref<JSKCFrame> seeded = JSKCFrame::frame();
    Ref<JSKCFrame> stats = JSKCFrame::frame();
    (void)stats->storeBool(true, "visible");
    (void)OGL::storePoint(*stats, {30, 140}, "position");
    (void)seeded->store(stats, "ui.stats.ctm");
    writeConfig(*seeded);
  }
  // Settings under which the conversation view opens at start, large in the window.
  void writeConversationOpenConfig() const {
    Ref<JSKCFrame> seeded = JSKCFrame::frame();
    Ref<JSKCFrame> conversation = JSKCFrame::frame();
    (void)conversation->storeBool(true, "visible");
    (void)OGL::storePoint(*conversation, {10, 40}, "position");
    (void)OGL::storeSize(*conversation, {620, 430}, "size");
    (void)seeded->store(conversation, "ui.conversation");
    writeConfig(*seeded);
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
    std::vector<uint8_t> rgb = WorkbenchGrabUntil(*rect, shows);
    EXPECT_TRUE(WorkbenchSavePNG(rgb, *rect, std::string(VESKO_SCREENSHOT_DIR) + "/" + name + ".png"));
    return rgb;
  }

  // A check for capture: the point shows something else than the window's far corner.
  static std::function<bool(const std::vector<uint8_t>&)> drawnAt(const ScreenRect& window, int x, int y) {
    return [&window, x, y](const std::vector<uint8_t>& rgb) {
      auto at = [&](int px, int py) {
        const uint8_t* p = &rgb[(static_cast<size_t>(py) * window.w + px) * 3];
        return std::array<uint8_t, 3>{p[0], p[1], p[2]};
      };
      return at(x, y) != at(window.w - 5, 5);
    };
  }
  // A real click at a point of the window (xdotool): the pointer rests there first, as a hand
  // would; false when xdotool failed.
  static bool click(const ScreenRect&, int x, int y) { return pointer(x, y, " click 1 sleep 0.15"); }
  static bool hover(int x, int y) { return pointer(x, y, ""); }
  static bool pointer(int x, int y, const std::string& then) {
    return input("mousemove --window %1 " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.15" + then);
  }
  // Real input records (xdotool commands, %1 naming the window) sent to the focused window.
  static bool input(const std::string& records) {
    std::string command = "xdotool search --sync --name '^vesko$' windowfocus --sync " + records;
    return std::system(command.c_str()) == 0;
  }

  TemporaryFolder settings, data;
  std::string demo = sourcePath("etc/vesko/demo.json");
};

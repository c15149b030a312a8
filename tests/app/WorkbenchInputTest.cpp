// Real input at a person's pace, answered in its frame: the real program under real X input
// (xdotool), its window read back. The program runs an empty solution in the demonstration's
// layout, so that nothing changes by itself and the window comes to rest between the inputs.
// Screenshots go under the build folder.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/app/WorkbenchFixture.h"
#include "ui/gl/OGLFValueCoding.h"

namespace {

class WorkbenchInputTest : public WorkbenchFixture {
protected:
  // The window with its views drawn, at rest once nothing is done to it.
  std::unique_ptr<WorkbenchProcess> startAtRest(ScreenRect* window) {
    const std::string empty = writeSolution("empty.json", "{\"processors\": []}");
    auto program = start({"--layout", sourcePath("etc/layouts/demo.json"), empty});
    EXPECT_TRUE(program->waitForOutput("loaded " + empty)) << program->output();
    (void)capture("input-at-rest", window, drawnAt(*window, 18, 13));
    return program;
  }
  // What the window shows half a second after a still click at the point (the pointer is not
  // moved afterwards), saved as name.png when it is not what the check wants.
  std::vector<uint8_t> afterStillClick(const ScreenRect& window, int x, int y, const char* name,
                                       const std::function<bool(const std::vector<uint8_t>&)>& shows) {
    EXPECT_TRUE(xdotool(moveTo(x, y) + " click 1"));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::vector<uint8_t> shown = WorkbenchGrab(window);
    if (!shows(shown)) (void)WorkbenchSavePNG(shown, window, std::string(VESKO_SCREENSHOT_DIR) + "/" + name + ".png");
    return shown;
  }
  // A click on the background, then time for the window to come to rest.
  static bool clickBackgroundAndRest() { return xdotool(moveTo(1200, 650) + " click 1 sleep 0.6"); }
  // One xdotool run on the window titled "vesko", its records sent without a pause between them.
  static bool xdotool(const std::string& records) {
    const std::string command = "xdotool search --sync --name '^vesko$' windowfocus --sync " + records;
    return std::system(command.c_str()) == 0;
  }
  static std::string moveTo(int x, int y) {
    return "mousemove --window %1 " + std::to_string(x) + " " + std::to_string(y);
  }
};

// A still click on each title of the menu bar, with the window at rest: its menu is drawn below
// the title, every time.
TEST_F(WorkbenchInputTest, AStillClickOnEachMenuTitleDrawsItsMenu) {
  ScreenRect window;
  auto program = startAtRest(&window);
  ASSERT_FALSE(HasFailure());
  for (int title : {20, 64, 106}) {
    for (int attempt = 1; attempt <= 3; ++attempt) {
      SCOPED_TRACE(testing::Message() << "title at " << title << ", attempt " << attempt);
      ASSERT_TRUE(clickBackgroundAndRest());
      const std::vector<uint8_t> closed = WorkbenchGrab(window);
      // The menu's first entries, below the title and clear of the bar.
      auto menuDrawn = [&](const std::vector<uint8_t>& rgb) {
        return changedIn(rgb, closed, window, {title, 30, 40, 20});
      };
      EXPECT_TRUE(menuDrawn(afterStillClick(window, title, 13, "input-menu-missing", menuDrawn)));
    }
  }
  ASSERT_TRUE(program->signal(SIGTERM));
  ASSERT_EQ(program->waitForExit(), 0) << program->output();
}

// A menu item acts once its highlight is over, with no input after the click: vesko > About
// vesko, chosen by still clicks, draws the about box in the middle of the window.
TEST_F(WorkbenchInputTest, AMenuChoiceMadeByStillClicksIsDrawn) {
  ScreenRect window;
  auto program = startAtRest(&window);
  ASSERT_FALSE(HasFailure());
  for (int attempt = 1; attempt <= 3; ++attempt) {
    SCOPED_TRACE(testing::Message() << "attempt " << attempt);
    ASSERT_TRUE(clickBackgroundAndRest());
    const std::vector<uint8_t> before = WorkbenchGrab(window);
    const ScreenRect middle{window.w / 2 - 20, window.h / 2 - 10, 40, 20};
    auto aboutDrawn = [&](const std::vector<uint8_t>& rgb) { return changedIn(rgb, before, window, middle); };
    auto menuDrawn = [&](const std::vector<uint8_t>& rgb) { return changedIn(rgb, before, window, {20, 30, 40, 20}); };
    ASSERT_TRUE(menuDrawn(afterStillClick(window, 18, 13, "input-about-menu-missing", menuDrawn)));
    EXPECT_TRUE(aboutDrawn(afterStillClick(window, 40, 54, "input-about-missing", aboutDrawn)));
    // The about box goes with a click on it.
    ASSERT_TRUE(xdotool(moveTo(window.w / 2, window.h / 2) + " click 1"));
  }
  ASSERT_TRUE(program->signal(SIGTERM));
  ASSERT_EQ(program->waitForExit(), 0) << program->output();
}

// A flick moves a view: pressed on its title bar, moved 400 pixels and released with no pause
// between the records (all in one frame), the view ends where the button was released. Three
// flicks, each starting where the last one left the view: 400 left, 200 right, 100 left.
TEST_F(WorkbenchInputTest, AFlickMovesAViewToWhereTheButtonWasReleased) {
  ScreenRect window;
  auto program = startAtRest(&window);
  ASSERT_FALSE(HasFailure());
  OGLTPoint at{1100, 374};  // the statistics view, as the layout places it
  for (int distance : {-400, 200, -100}) {
    SCOPED_TRACE(testing::Message() << "flick of " << distance);
    const int x = static_cast<int>(at.x) + 50, y = static_cast<int>(at.y) + 10;  // on its title bar
    ASSERT_TRUE(clickBackgroundAndRest());
    ASSERT_TRUE(xdotool(moveTo(x, y) + " sleep 0.15 mousedown 1 " + moveTo(x + distance, y) + " mouseup 1 sleep 0.3"));
    at.x += static_cast<float>(distance);
  }
  ASSERT_TRUE(program->signal(SIGTERM));
  ASSERT_EQ(program->waitForExit(), 0) << program->output();
  Ref<JSKCFrame> saved = config()->frameForLabel("ui.stats.ctm");
  ASSERT_TRUE(saved);
  const OGLTPoint place = OGL::pointForLabel(*saved, "position", {-1, -1});
  EXPECT_EQ(place.x, at.x);
  EXPECT_EQ(place.y, at.y);
}

}  // namespace

// The real program keeps the place and size of its window with its settings: the window opens
// where and as large as it was left, and the views saved in it come back where they were; a view
// saved where no window could show it opens below the menu bar, where it can be taken and closed.
// Screenshots go under the build folder.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/app/WorkbenchFixture.h"
#include "ui/gl/OGLFValueCoding.h"

namespace {

using WindowStateTest = WorkbenchFixture;

// The window as a window manager would change it: moved and resized, waiting until it is.
bool moveAndResize(const ScreenRect& to) {
  const std::string command = "xdotool search --sync --name '^vesko$' windowmove --sync %1 " + std::to_string(to.x) +
                              " " + std::to_string(to.y) + " windowsize --sync %1 " + std::to_string(to.w) + " " +
                              std::to_string(to.h);
  return std::system(command.c_str()) == 0;
}

// vesko > Quit, as a person chooses it.
bool quitByMenu() { return WorkbenchClick(18, 13) && WorkbenchClick(22, 80); }

OGLTPoint savedPosition(const JSKCFrame& config, const char* key) {
  Ref<JSKCFrame> state = config.frameForLabel(key);
  return state ? OGL::pointForLabel(*state, "position", {-1, -1}) : OGLTPoint{-1, -1};
}

}  // namespace

// The window is moved and enlarged to 1400 × 900, the statistics view dragged to (900, 500), far
// outside the 640 × 480 a window opens at by default; quit, then started twice more, the window
// opens at that place and size each time, with the view where it was dragged.
TEST_F(WindowStateTest, TheWindowAndAViewInItComeBackWhereTheyWereLeftAtEveryStart) {
  writeStatisticsOpenConfig();  // the statistics view at (30, 140)
  ScreenRect window;
  auto first = startDemo(&window);
  ASSERT_FALSE(HasFailure());
  const ScreenRect left{60, 40, 1400, 900};
  ASSERT_TRUE(moveAndResize(left));
  // Drawn at the new size: the status label follows the bottom edge.
  auto statusAtBottom = [&](const std::vector<uint8_t>& rgb) {
    ScreenRect status{0, window.h - 16, 200, 16};
    return window.h == left.h && changedIn(rgb, std::vector<uint8_t>(rgb.size(), 0), window, status);
  };
  EXPECT_TRUE(statusAtBottom(capture("window-state-enlarged", &window, statusAtBottom)));
  // Dragged by its title bar from (30, 140) to (900, 500).
  ASSERT_TRUE(WorkbenchDrag(90, 150, 960, 510));
  auto viewAt = [&](int x, int y) {
    return [&window, x, y](const std::vector<uint8_t>& rgb) {
      return drawnAt(window, x + 60, y + 10)(rgb) && !drawnAt(window, 90, 150)(rgb);
    };
  };
  std::vector<uint8_t> dragged = capture("window-state-dragged", &window, viewAt(900, 500));
  ASSERT_EQ(window.w, left.w);
  ASSERT_EQ(window.h, left.h);
  EXPECT_TRUE(viewAt(900, 500)(dragged));
  ASSERT_TRUE(quitByMenu());
  ASSERT_EQ(first->waitForExit(), 0) << first->output();

  for (int start = 2; start <= 3; ++start) {
    SCOPED_TRACE(start);
    Ref<JSKCFrame> saved = config();
    OGLTPoint view = savedPosition(*saved, "ui.stats.ctm");
    EXPECT_EQ(view.x, 900);
    EXPECT_EQ(view.y, 500);
    OGLTPoint place = savedPosition(*saved, "ui.window");
    EXPECT_EQ(place.x, left.x);
    EXPECT_EQ(place.y, left.y);

    auto again = startDemo(&window);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(window.x, left.x);
    EXPECT_EQ(window.y, left.y);
    EXPECT_EQ(window.w, left.w);
    EXPECT_EQ(window.h, left.h);
    std::vector<uint8_t> shown =
        capture(("window-state-start-" + std::to_string(start)).c_str(), &window, viewAt(900, 500));
    EXPECT_TRUE(viewAt(900, 500)(shown));
    ASSERT_TRUE(quitByMenu());
    ASSERT_EQ(again->waitForExit(), 0) << again->output();
  }
}

// A view saved at (-5000, -5000) opens with a grip of its title bar inside the window below the
// menu bar: a person takes it there, drags it into the window and closes it with its cross.
TEST_F(WindowStateTest, AViewSavedFarAboveAndLeftCanBeTakenAndClosed) {
  Ref<JSKCFrame> seeded = JSKCFrame::frame();
  Ref<JSKCFrame> timeline = JSKCFrame::frame();
  (void)timeline->storeBool(true, "visible");
  (void)OGL::storePoint(*timeline, {-5000, -5000}, "position");
  (void)OGL::storeSize(*timeline, {400, 300}, "size");
  (void)seeded->store(timeline, "ui.timeline");
  writeConfig(*seeded);

  ScreenRect window;
  auto program = startDemo(&window);
  ASSERT_FALSE(HasFailure());
  // Its grip: the last 40 pixels of its title bar at the window's left edge, below the menu bar
  // (24 high), the cross on its right half. Taken left of the cross and dragged 300 right and
  // 200 down, its cross ends 13 pixels left of its right edge, at (327, 234).
  (void)capture("window-state-grip", &window, drawnAt(window, 8, 34));
  ASSERT_TRUE(WorkbenchDrag(8, 34, 308, 234));
  auto moved = [&](const std::vector<uint8_t>& rgb) { return drawnAt(window, 300, 234)(rgb); };
  EXPECT_TRUE(moved(capture("window-state-grip-dragged", &window, moved)));
  ASSERT_TRUE(click(window, 327, 234));
  ASSERT_TRUE(quitByMenu());
  ASSERT_EQ(program->waitForExit(), 0) << program->output();
  Ref<JSKCFrame> saved = config()->frameForLabel("ui.timeline");
  ASSERT_TRUE(saved);
  EXPECT_FALSE(saved->boolForLabel("visible", true)) << "the cross closed it";
}

// A window saved larger than the screens, at a place off them (a larger monitor, or one gone),
// opens as large as the screen allows and on it; saved values that are no place or size are
// said in the log and the window opens at its defaults.
TEST_F(WindowStateTest, AWindowSavedBeyondTheScreensOpensOnThem) {
  ScreenRect screen;
  if (FILE* geometry = popen("xdotool getdisplaygeometry", "r")) {
    if (std::fscanf(geometry, "%d %d", &screen.w, &screen.h) != 2) screen = {};
    pclose(geometry);
  }
  ASSERT_GT(screen.w, 0);
  struct Case {
    const char* saved;  // the JSON text of "ui.window"
    ScreenRect expected;
    const char* said;  // a log line, or none
  };
  const Case cases[] = {
      {R"({"position": {"x": 30000, "y": -30000}, "size": {"w": 9000, "h": 9000}})", {0, 0, screen.w, screen.h}, nullptr},
      {R"({"position": {"x": -400, "y": 100}, "size": {"w": 800, "h": 600}})", {0, 100, 800, 600}, nullptr},
      {R"({"position": "far", "size": [1, 2]})", {0, 0, 640, 480}, "ui.window has a \"position\" that is not a point"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.saved);
    std::filesystem::create_directories(settings.path() + "/vesko");
    const std::string text = std::string("{\"ui.window\": ") + c.saved + "}";
    ASSERT_TRUE(LLKFWriteFileAtomically(configPath().c_str(), text.data(), text.size()));
    ScreenRect window;
    auto program = startDemo(&window);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(window.x, c.expected.x);
    EXPECT_EQ(window.y, c.expected.y);
    EXPECT_EQ(window.w, c.expected.w);
    EXPECT_EQ(window.h, c.expected.h);
    if (c.said) {
      EXPECT_NE(program->output().find(c.said), std::string::npos) << program->output();
    }
    ASSERT_TRUE(program->signal(SIGTERM));
    ASSERT_EQ(program->waitForExit(), 0) << program->output();
  }
}

// The demonstration as a newcomer meets it: the real program, handed the demonstration's layout
// as scripts/run hands it, opens a first run (no settings yet) with the demonstration's views in
// a window large enough for them, the expression viewer filling with what the demonstration
// decodes; a later run opens as the user left it, the layout not taken over the saved settings.
// Screenshots go under the build folder.
#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "tests/app/WorkbenchFixture.h"
#include "ui/gl/OGLFValueCoding.h"

namespace {

class FirstRunTest : public WorkbenchFixture {
protected:
  std::unique_ptr<WorkbenchProcess> startWithLayout(const std::string& layoutPath) {
    auto program = start({"--layout", layoutPath, demo});
    EXPECT_TRUE(program->started());
    EXPECT_TRUE(program->waitForOutput("loaded " + demo)) << program->output();
    return program;
  }

  std::string layout = sourcePath("etc/layouts/demo.json");
};

// Some pixel of the area is bright: text or a drawn term, not an empty panel.
bool brightIn(const std::vector<uint8_t>& rgb, const ScreenRect& window, const ScreenRect& area) {
  for (int y = area.y; y < area.y + area.h && y < window.h; ++y)
    for (int x = area.x; x < area.x + area.w && x < window.w; ++x) {
      const uint8_t* p = &rgb[(static_cast<size_t>(y) * window.w + x) * 3];
      if (p[0] > 150 && p[1] > 150 && p[2] > 150) return true;
    }
  return false;
}

TEST_F(FirstRunTest, AFirstRunOpensTheDemonstrationsViewsWithTheExpressionViewerFilling) {
  auto program = startWithLayout(layout);
  ASSERT_FALSE(HasFailure());
  ScreenRect window;
  ASSERT_TRUE(WorkbenchFindWindow("vesko", &window));
  EXPECT_EQ(window.w, 1290);
  EXPECT_EQ(window.h, 720);
  // The expression viewer at (640, 34), 640 × 330: below its title and control bars, its surface
  // shows the terms the demonstration decodes.
  const ScreenRect expression{650, 34 + 20 + 32, 620, 330 - 20 - 32 - 20};
  auto filled = [&](const std::vector<uint8_t>& rgb) { return brightIn(rgb, window, expression); };
  std::vector<uint8_t> shown = capture("first-run", &window, filled);
  EXPECT_TRUE(filled(shown)) << "the expression viewer shows no term";
  // The conversation, the chunk viewer, the timeline and the statistics at their places.
  for (auto [x, y] : {std::pair{300, 44}, std::pair{300, 384}, std::pair{860, 384}, std::pair{1180, 384}}) {
    SCOPED_TRACE(testing::Message() << x << ", " << y);
    EXPECT_TRUE(drawnAt(window, x, y)(shown));
  }
  ASSERT_TRUE(program->signal(SIGTERM));
  ASSERT_EQ(program->waitForExit(), 0) << program->output();
  // What the user then has is theirs: the window's size and the views, saved.
  Ref<JSKCFrame> saved = config();
  Ref<JSKCFrame> state = saved->frameForLabel("ui.window");
  ASSERT_TRUE(state);
  EXPECT_EQ(OGL::sizeForLabel(*state, "size", {0, 0}).w, 1290);
  for (const char* key : {"ui.conversation", "ui.expression", "ui.gist", "ui.timeline", "ui.stats.ctm"}) {
    SCOPED_TRACE(key);
    Ref<JSKCFrame> view = saved->frameForLabel(key);
    EXPECT_TRUE(view && view->boolForLabel("visible", false));
  }
}

// Saved settings (a smaller window with the timeline alone) are not replaced by the layout; a
// layout that cannot be read is said in the log and the window opens at its defaults.
TEST_F(FirstRunTest, ALaterRunOpensAsTheUserLeftItAndAnUnreadableLayoutIsSaid) {
  Ref<JSKCFrame> seeded = JSKCFrame::frame();
  Ref<JSKCFrame> window = JSKCFrame::frame();
  (void)OGL::storeSize(*window, {800, 600}, "size");
  (void)seeded->store(window, "ui.window");
  Ref<JSKCFrame> timeline = JSKCFrame::frame();
  (void)timeline->storeBool(true, "visible");
  (void)OGL::storePoint(*timeline, {100, 100}, "position");
  (void)seeded->store(timeline, "ui.timeline");
  writeConfig(*seeded);

  auto program = startWithLayout(layout);
  ASSERT_FALSE(HasFailure());
  ScreenRect rect;
  std::vector<uint8_t> shown = capture("later-run", &rect, drawnAt(rect, 300, 110));
  EXPECT_EQ(rect.w, 800);
  EXPECT_EQ(rect.h, 600);
  EXPECT_TRUE(drawnAt(rect, 300, 110)(shown)) << "the timeline where the user left it";
  EXPECT_FALSE(drawnAt(rect, 700, 44)(shown)) << "the layout's expression viewer";
  ASSERT_TRUE(program->signal(SIGTERM));
  ASSERT_EQ(program->waitForExit(), 0) << program->output();
  Ref<JSKCFrame> saved = config();
  EXPECT_EQ(OGL::sizeForLabel(*saved->frameForLabel("ui.window"), "size", {0, 0}).w, 800);
  Ref<JSKCFrame> expression = saved->frameForLabel("ui.expression");
  EXPECT_FALSE(expression && expression->boolForLabel("visible", false));

  std::filesystem::remove(configPath());
  auto unread = startWithLayout(data.path() + "/missing.json");
  ASSERT_FALSE(HasFailure());
  EXPECT_TRUE(unread->waitForOutput("the layout " + data.path() + "/missing.json cannot be read"))
      << unread->output();
  ASSERT_TRUE(WorkbenchFindWindow("vesko", &rect));
  EXPECT_EQ(rect.w, 640);
  ASSERT_TRUE(unread->signal(SIGTERM));
  ASSERT_EQ(unread->waitForExit(), 0) << unread->output();
}

}  // namespace

// The workbench's views walked as a user would: every view kind opened from its menu entry by real
// clicks while the demonstration CTM runs, quit from the menu, and at the next start the views that
// were open come back where they were; saved states that cannot be used are said in the log and
// the rest opens. A screenshot of every step goes under the build folder.
#include <signal.h>

#include "tests/app/WorkbenchFixture.h"
#include "ui/gl/OGLFValueCoding.h"

namespace {

using ViewsRoadTest = WorkbenchFixture;

// Points of the window's menus: the menu bar's entries and the rows of an open list.
constexpr int kBarY = 13;
constexpr int kVeskoX = 18;
constexpr int kCommandsX = 78;
constexpr int kViewsX = 120;

// Where each CTM view is seeded, so that all four show side by side.
struct Placement {
  const char* key;
  OGLTPoint position;
};
constexpr OGLTSize kSeededSize = {380, 250};
constexpr Placement kCtmViews[] = {
    {"ui.conversation", {10, 40}}, {"ui.expression", {400, 40}}, {"ui.gist", {10, 300}}, {"ui.timeline", {400, 300}}};

// Whether the rect of the window holds any pixel other than the same pixel of the reference.
bool changedIn(const std::vector<uint8_t>& rgb, const std::vector<uint8_t>& reference, const ScreenRect& window, int left,
               int top, int right, int bottom) {
  if (rgb.size() != reference.size()) return true;
  for (int y = top; y < bottom && y < window.h; ++y)
    for (int x = left; x < right && x < window.w; ++x) {
      size_t i = (static_cast<size_t>(y) * window.w + x) * 3;
      if (std::memcmp(&rgb[i], &reference[i], 3) != 0) return true;
    }
  return false;
}

TEST_F(ViewsRoadTest, EveryViewOpensFromItsMenuAndTheOpenOnesComeBackAfterARestart) {
  Ref<JSKCFrame> seeded = JSKCFrame::frame();
  for (const Placement& view : kCtmViews) {
    Ref<JSKCFrame> frame = JSKCFrame::frame();
    (void)OGL::storePoint(*frame, view.position, "position");
    (void)OGL::storeSize(*frame, kSeededSize, "size");
    (void)seeded->store(frame, view.key);
  }
  writeConfig(*seeded);

  auto first = start({demo});
  ASSERT_TRUE(first->waitForOutput("loaded " + demo)) << first->output();
  ScreenRect window;
  const std::vector<uint8_t> bare = capture("views-0-bare", &window);
  ASSERT_FALSE(bare.empty());
  auto showsView = [&](const Placement& view) {
    return [&, view](const std::vector<uint8_t>& rgb) {
      return changedIn(rgb, bare, window, view.position.x + 10, view.position.y + 4, view.position.x + 370, view.position.y + 20);
    };
  };
  // Views > Conversation, Expression, Chunk viewer, Conscious contents.
  ASSERT_TRUE(click(window, kViewsX, kBarY));
  (void)capture("views-1-menu", &window);
  const char* steps[] = {"views-2-conversation", "views-3-expression", "views-4-gist", "views-5-timeline"};
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      ASSERT_TRUE(click(window, kViewsX, kBarY));
    }
    ASSERT_TRUE(click(window, kViewsX + 30, 36 + 18 * i));
    EXPECT_TRUE(showsView(kCtmViews[i])(capture(steps[i], &window, showsView(kCtmViews[i])))) << kCtmViews[i].key;
  }
  // vesko > Statistics > CTM, then vesko > Quit.
  ASSERT_TRUE(click(window, kVeskoX, kBarY));
  ASSERT_TRUE(click(window, 40, 36));
  ASSERT_TRUE(click(window, 93, 36));
  (void)capture("views-6-statistics", &window);
  ASSERT_TRUE(click(window, kVeskoX, kBarY));
  ASSERT_TRUE(click(window, 22, 62));
  ASSERT_EQ(first->waitForExit(), 0) << first->output();

  Ref<JSKCFrame> saved = config();
  ASSERT_TRUE(saved);
  for (const Placement& view : kCtmViews) {
    SCOPED_TRACE(view.key);
    Ref<JSKCFrame> frame = saved->frameForLabel(view.key);
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->boolForLabel("visible", false));
    OGLTPoint position = OGL::pointForLabel(*frame, "position", {0, 0});
    EXPECT_EQ(position.x, view.position.x);
    EXPECT_EQ(position.y, view.position.y);
  }
  // A state that is not a frame and a state of a view that no longer exists are skipped, said in
  // the log; the other views come back.
  (void)saved->storeString("garbage", "ui.gist");
  Ref<JSKCFrame> gone = JSKCFrame::frame();
  (void)gone->storeBool(true, "visible");
  (void)saved->store(gone, "ui.oldview");
  writeConfig(*saved);

  auto second = start({});
  ASSERT_TRUE(second->waitForOutput("no view is named ui.oldview")) << second->output();
  ASSERT_TRUE(second->waitForOutput("the saved state of ui.gist is not a frame")) << second->output();
  std::vector<uint8_t> restored = capture("views-7-restart", &window, showsView(kCtmViews[3]));
  for (const Placement& view : {kCtmViews[0], kCtmViews[1], kCtmViews[3]}) EXPECT_TRUE(showsView(view)(restored)) << view.key;

  ASSERT_TRUE(second->signal(SIGINT));
  ASSERT_EQ(second->waitForExit(), 0) << second->output();
  saved = config();
  ASSERT_TRUE(saved);
  EXPECT_TRUE(saved->frameForLabel("ui.timeline")->boolForLabel("visible", false));
  EXPECT_FALSE(saved->frameForLabel("ui.gist"));
}

}  // namespace

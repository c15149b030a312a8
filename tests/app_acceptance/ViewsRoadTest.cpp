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
constexpr OGLTSize kSeededSize = {310, 205};
constexpr Placement kCtmViews[] = {
    {"ui.conversation", {5, 30}}, {"ui.expression", {325, 30}}, {"ui.gist", {5, 245}}, {"ui.timeline", {325, 245}}};

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
      return changedIn(rgb, bare, window,
                       {static_cast<int>(view.position.x) + 10, static_cast<int>(view.position.y) + 4, 290, 16});
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
    const std::vector<uint8_t> opened = capture(steps[i], &window, showsView(kCtmViews[i]));
    EXPECT_TRUE(showsView(kCtmViews[i])(opened)) << kCtmViews[i].key;
    if (std::string(kCtmViews[i].key) == "ui.gist") {
      // The chunk viewer follows the running stage: its surface changes from tick to tick.
      const ScreenRect surface{15, 275, 290, 165};
      auto follows = [&](const std::vector<uint8_t>& rgb) { return changedIn(rgb, opened, window, surface); };
      EXPECT_TRUE(follows(capture("views-4-gist-live", &window, follows)));
    }
  }
  // vesko > Statistics > CTM, then vesko > Quit.
  ASSERT_TRUE(click(window, kVeskoX, kBarY));
  ASSERT_TRUE(click(window, 40, 36));
  ASSERT_TRUE(click(window, 93, 36));
  (void)capture("views-6-statistics", &window);
  ASSERT_TRUE(click(window, kVeskoX, kBarY));
  ASSERT_TRUE(click(window, 22, 80));
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
  for (const Placement& view : {kCtmViews[0], kCtmViews[1], kCtmViews[3]})
    EXPECT_TRUE(showsView(view)(restored)) << view.key;

  ASSERT_TRUE(second->signal(SIGINT));
  ASSERT_EQ(second->waitForExit(), 0) << second->output();
  saved = config();
  ASSERT_TRUE(saved);
  EXPECT_TRUE(saved->frameForLabel("ui.timeline")->boolForLabel("visible", false));
  EXPECT_FALSE(saved->frameForLabel("ui.gist"));
}

// The vision views have no feed here: each opens empty from its entry, and all come back.
TEST_F(ViewsRoadTest, EveryVisionViewOpensFromItsMenuEntryAndComesBackAfterARestart) {
  struct Entry {
    const char* key;
    int barX;  // the menu of the menu bar
    int rowY;  // the entry in that menu
    int fovY;  // the "Foveal" or "Peripherial" entry of its sub-list; 0: none
    const char* step;
  };
  const Entry entries[] = {
      {"ui.uvc.feed", kViewsX, 116, 0, "vision-1-images-feed"},
      {"ui.qav.seg.fovl", kViewsX, 134, 134, "vision-2-segmented-foveal"},
      {"ui.qav.lab.peri", kViewsX, 152, 170, "vision-3-labeled-peripheral"},
      {"ui.qav.labeling.fovl", kViewsX, 170, 170, "vision-4-labelling-foveal"},
      {"ui.inject.keys", kCommandsX, 116, 0, "vision-5-inject-keys"},
      {"ui.inject", kCommandsX, 134, 0, "vision-6-inject-images"},
      {"ui.cocofeed", kCommandsX, 152, 0, "vision-7-coco-feed"},
  };
  auto first = start({});
  ScreenRect window;
  const std::vector<uint8_t> bare = capture("vision-0-bare", &window);
  ASSERT_FALSE(bare.empty());
  std::vector<uint8_t> last = bare;
  for (const Entry& entry : entries) {
    SCOPED_TRACE(entry.key);
    ASSERT_TRUE(click(window, entry.barX, kBarY));
    ASSERT_TRUE(click(window, entry.barX + 30, entry.rowY));
    if (entry.fovY) {
      (void)capture((std::string(entry.step) + "-menu").c_str(), &window);
      ASSERT_TRUE(click(window, entry.barX + 130, entry.fovY));
    }
    auto opened = [&](const std::vector<uint8_t>& rgb) {
      return changedIn(rgb, last, window, {0, 30, window.w, window.h - 50});
    };
    std::vector<uint8_t> now = capture(entry.step, &window, opened);
    EXPECT_TRUE(opened(now));
    last = now;
  }
  ASSERT_TRUE(first->signal(SIGINT));
  ASSERT_EQ(first->waitForExit(), 0) << first->output();
  for (const Entry& entry : entries) {
    Ref<JSKCFrame> frame = config()->frameForLabel(entry.key);
    ASSERT_TRUE(frame) << entry.key;
    EXPECT_TRUE(frame->boolForLabel("visible", false)) << entry.key;
  }

  auto second = start({});
  auto reopened = [&](const std::vector<uint8_t>& rgb) {
    return changedIn(rgb, bare, window, {0, 30, window.w, window.h - 50});
  };
  EXPECT_TRUE(reopened(capture("vision-8-restart", &window, reopened)));
  ASSERT_TRUE(second->signal(SIGINT));
  ASSERT_EQ(second->waitForExit(), 0) << second->output();
  for (const Entry& entry : entries)
    EXPECT_TRUE(config()->frameForLabel(entry.key)->boolForLabel("visible", false)) << entry.key;
}

}  // namespace

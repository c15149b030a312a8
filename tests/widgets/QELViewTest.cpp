// Views: fitting sizes, dragging by the title bar, roll-up and unroll, closing, the title-bar
// buttons and where children are drawn and hit.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/widgets/QELTestHeadlessWindow.h"
#include "tests/widgets/QELTestWidgets.h"

namespace {

// Keeps the messages that reach the top of the tree.
struct RecordingWindow : QELTestHeadlessWindow {
  bool onMessaged(const Ref<LLKCMessage>& m) override {
    seen.push_back(m->codeValue());
    return true;
  }
  std::vector<uint64_t> seen;
};

class Views : public ::testing::Test {
protected:
  void SetUp() override {
    window = QELTestHeadlessWindow::open(adoptRef(new RecordingWindow()), {400, 300});
    ASSERT_TRUE(window);
  }
  Ref<TestView> view(OGLTRect f, uint32_t flags) {
    Ref<TestView> v = TestView::make({f.right - f.left, f.bottom - f.top}, {f.left, f.top}, flags);
    EXPECT_TRUE(window->attach(v));
    window->frame();
    return v;
  }
  // Frames until the roll animation is over (a second of steps, and one more).
  void settle() {
    for (int i = 0; i < 12; ++i) window->frame(0.1f);
  }
  Ref<RecordingWindow> window;
};

TEST_F(Views, SizeToFitAddsTheBarsAndMakesSizesEven) {
  struct Case {
    uint32_t flags;
    OGLTSize expected;
  } cases[] = {{kQELViewTitleBar, {104, 76}}, {kQELViewTitleBar | kQELViewStatusBar, {104, 96}}, {0, {104, 54}}};
  for (const Case& c : cases) {
    OGLTSize s = QELBView::sizeToFit({100, 50}, window.get(), c.flags);
    EXPECT_FLOAT_EQ(s.w, c.expected.w);
    EXPECT_FLOAT_EQ(s.h, c.expected.h);
  }
  EXPECT_FLOAT_EQ(QELBView::sizeToFit({100, 50}, nullptr, 0).w, 0);
}

TEST_F(Views, CreatedHiddenWithTheirPreferredSizeFromTheirChildren) {
  Ref<QELCView> plain = QELCView::widgetWithSize({100, 100}, {0, 0}, "t", kQELViewTitleBar);
  ASSERT_TRUE(plain);
  EXPECT_FALSE(plain->visible());
  window->attach(plain);
  OGLTSize empty = plain->preferredSize();
  EXPECT_FLOAT_EQ(empty.w, 104);
  EXPECT_FLOAT_EQ(empty.h, 124);
  plain->attach(Probe::make({30, 10}, {0, 0}));
  plain->attach(Probe::make({20, 15}, {40, 5}));
  OGLTSize two = plain->preferredSize();
  EXPECT_FLOAT_EQ(two.w, 64);
  EXPECT_FLOAT_EQ(two.h, 44);
}

TEST_F(Views, TheTitleBarDragsOnlyDraggableViews) {
  Ref<TestView> still = view({10, 10, 110, 110}, kQELViewTitleBar);
  window->drag({50, 15}, {80, 45});
  EXPECT_FLOAT_EQ(still->frame().left, 10);
  EXPECT_FALSE(still->isDragged());
  Ref<TestView> moving = view({200, 10, 300, 110}, kQELViewTitleBar | kQELViewDraggable);
  window->drag({250, 15}, {230, 45});
  EXPECT_FLOAT_EQ(moving->frame().left, 180);
  EXPECT_FLOAT_EQ(moving->frame().top, 40);
  EXPECT_FALSE(moving->isDragged());
  // A press below the title band does not drag.
  window->drag({230, 100}, {260, 120});
  EXPECT_FLOAT_EQ(moving->frame().left, 180);
}

// A drag ends where the button came up, however few records it has: a release with no move
// before it, and a press and its release in one frame.
TEST_F(Views, ADragEndsWhereTheButtonWasReleased) {
  Ref<TestView> v = view({10, 10, 110, 110}, kQELViewTitleBar | kQELViewDraggable);
  window->drag({50, 15}, {250, 115}, 0);
  EXPECT_FLOAT_EQ(v->frame().left, 210);
  EXPECT_FLOAT_EQ(v->frame().top, 110);
  EXPECT_FALSE(v->isDragged());
  window->cursorEvent({250, 115}, kOGLButtonLeft, kOGLActionPress);
  window->cursorEvent({150, 65}, kOGLButtonLeft, kOGLActionRelease);
  window->frame();
  EXPECT_FLOAT_EQ(v->frame().left, 110);
  EXPECT_FLOAT_EQ(v->frame().top, 60);
  EXPECT_FALSE(v->isDragged());
}

TEST_F(Views, AViewKeptInsideDoesNotLeaveTheWindow) {
  Ref<TestView> v = view({10, 10, 110, 110}, kQELViewTitleBar | kQELViewDraggable | kQELViewKeepInside);
  window->drag({50, 15}, {30, 15}, 1);  // 20 to the left would put it at -10
  EXPECT_FLOAT_EQ(v->frame().left, 10);
  window->drag({50, 15}, {55, 20}, 1);
  EXPECT_FLOAT_EQ(v->frame().left, 15);
}

TEST_F(Views, ADraggedViewKeepsAGripOfItsTitleBarInsideTheWindow) {
  Ref<TestView> v = view({10, 10, 110, 110}, kQELViewTitleBar | kQELViewDraggable);
  window->drag({50, 15}, {399, 299});
  EXPECT_LE(v->frame().left, 400 - 40);
  EXPECT_LE(v->frame().top, 300 - kQELViewBarHeight);
  window->drag({v->frame().left + 5, v->frame().top + 5}, {0, 0});
  EXPECT_GE(v->frame().right, 40);
  EXPECT_GE(v->frame().top, 0);
}

// A frame saved broken (too small, far outside, not a number) comes back usable and reachable,
// its title bar inside the area (below a menu bar 24 high when the area leaves one out); a frame
// whose grip the area shows stays where it was.
TEST_F(Views, ARestoredFrameIsUsableAndReachable) {
  Ref<TestView> v = view({10, 10, 110, 110}, kQELViewTitleBar | kQELViewRollButton | kQELViewCloseButton);
  OGLTSize usable = v->usableSize();
  const OGLTRect saved[] = {{50, 50, 40, 20}, {5000, 5000, 5100, 5100}, {-900, -900, -800, -800},
                            {-5000, -5000, -4360, -4520}, {NAN, 0, 10, 10}, {200, 0, 300, 100}};
  for (const OGLTRect area : {OGLTRect{0, 0, 400, 300}, OGLTRect{0, 24, 400, 300}}) {
    for (const OGLTRect& frame : saved) {
      SCOPED_TRACE(testing::Message() << area.top << ": " << frame.left << ", " << frame.top);
      OGLTRect f = v->reachableFrame(frame, area);
      EXPECT_GE(f.right - f.left, usable.w);
      EXPECT_GE(f.bottom - f.top, usable.h);
      EXPECT_GE(f.right, 40);
      EXPECT_LE(f.left, 360);
      EXPECT_GE(f.top, area.top);
      EXPECT_LE(f.top, 300 - kQELViewBarHeight);
    }
  }
  const OGLTRect shown{30, 150, 330, 250};
  OGLTRect kept = v->reachableFrame(shown, {0, 24, 400, 300});
  EXPECT_EQ(kept.left, shown.left);
  EXPECT_EQ(kept.top, shown.top);
}

// A view being dragged keeps the cursor whatever lies above it: it follows onto a widget that
// takes every record and ends its drag with the release there.
TEST_F(Views, ADraggedViewKeepsTheCursorOverWidgetsAboveIt) {
  Ref<Probe> above = Probe::make({400, 40}, {0, 200});
  above->setLayer(8);
  window->attach(above);
  Ref<TestView> v = view({10, 10, 110, 110}, kQELViewTitleBar | kQELViewDraggable);
  window->drag({50, 15}, {50, 215});
  EXPECT_FALSE(v->isDragged());
  EXPECT_FLOAT_EQ(v->frame().top, 210);
  window->click({350, 280});  // the empty background
  EXPECT_FLOAT_EQ(v->frame().left, 10);
  EXPECT_FLOAT_EQ(v->frame().top, 210);
}

// A drag whose release the view never saw (it was hidden meanwhile) is over: shown again, the
// view neither grabs every cursor event nor jumps to the next press.
TEST_F(Views, ADragEndsWhenTheViewIsHidden) {
  Ref<Probe> probe = Probe::make({20, 20}, {300, 200});
  window->attach(probe);
  Ref<TestView> v = view({10, 10, 110, 110}, kQELViewTitleBar | kQELViewDraggable);
  window->cursorEvent({50, 15}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  ASSERT_TRUE(v->isDragged());
  v->setVisible(false);
  window->cursorEvent({50, 15}, kOGLButtonLeft, kOGLActionRelease);
  window->frame();
  v->setVisible(true);
  window->frame();
  EXPECT_FALSE(v->isDragged());
  window->click({310, 210});
  EXPECT_FALSE(probe->cursors.empty());
  EXPECT_FLOAT_EQ(v->frame().left, 10);
  EXPECT_FLOAT_EQ(v->frame().top, 10);
  // The same for a view closed (and detached) in the middle of a drag, then shown again.
  v->setFlags(v->flags() | kQELViewDetachOnClose);
  window->cursorEvent({50, 15}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  ASSERT_TRUE(v->isDragged());
  v->close();
  window->frame();
  ASSERT_TRUE(window->attach(v));
  v->setVisible(true);
  window->cursorEvent({50, 15}, kOGLButtonLeft, kOGLActionRelease);
  window->frame();
  window->click({310, 210});
  EXPECT_FLOAT_EQ(v->frame().left, 10);
}

TEST_F(Views, RollingUpEndsAtTheBarsAndUnrollingRestoresTheHeight) {
  for (uint32_t status : {0u, static_cast<uint32_t>(kQELViewStatusBar)}) {
    Ref<TestView> v = view({10, 10, 110, 210}, kQELViewTitleBar | status);
    v->setOnRollup(message(11));
    v->setOnUnroll(message(12));
    v->rollup();
    EXPECT_TRUE(v->isRolledup());
    settle();
    EXPECT_EQ(v->rollState(), kQELRollRolledUp);
    EXPECT_FLOAT_EQ(v->size().h, status ? 42 : 24);
    v->unroll();
    settle();
    EXPECT_EQ(v->rollState(), kQELRollOpen);
    EXPECT_FLOAT_EQ(v->size().h, 200);
    EXPECT_EQ(window->seen, (std::vector<uint64_t>{11, 12}));
    window->seen.clear();
    window->detach(v);
  }
}

// A second roll-up while rolling up goes on from where the view is, and unrolling still brings
// back the height the view had open.
TEST_F(Views, UnrollingAfterASecondRollupRestoresTheOpenHeight) {
  Ref<TestView> v = view({10, 10, 110, 490 - 10}, kQELViewTitleBar);
  const float open = v->size().h;
  v->rollup();
  window->frame(0.1f);
  float during = v->size().h;
  ASSERT_LT(during, open);
  v->rollup();
  window->frame(0);
  EXPECT_NEAR(v->size().h, during, 0.5f);
  settle();
  v->unroll();
  settle();
  EXPECT_EQ(v->rollState(), kQELRollOpen);
  EXPECT_FLOAT_EQ(v->size().h, open);
}

// A view closed while rolled up is still rolled up when shown again, so it can be unrolled to
// its height instead of staying a bar.
TEST_F(Views, ClosingKeepsTheRollState) {
  Ref<TestView> v = view({10, 10, 110, 210}, kQELViewTitleBar);
  v->rollup();
  settle();
  v->close();
  window->frame();
  EXPECT_FALSE(v->visible());
  EXPECT_EQ(v->closes, 1);
  v->setVisible(true);
  EXPECT_TRUE(v->isRolledup());
  v->unroll();
  settle();
  EXPECT_EQ(v->rollState(), kQELRollOpen);
  EXPECT_FLOAT_EQ(v->size().h, 200);
}

TEST_F(Views, RollingUpWhileUnrollingReversesInPlace) {
  Ref<TestView> v = view({10, 10, 110, 210}, kQELViewTitleBar);
  v->rollup();
  settle();
  v->unroll();
  window->frame(0.3f);
  float during = v->size().h;
  v->rollup();  // progress 0.3 becomes 0.7: the height stays where it was
  window->frame(0);
  EXPECT_NEAR(v->size().h, during, 0.5f);
  EXPECT_EQ(v->rollState(), kQELRollRollingUp);
  v->rollup();  // again while rolling up: nothing is lost, it goes on rolling up
  settle();
  EXPECT_FLOAT_EQ(v->size().h, 24);
}

TEST_F(Views, ResizedOnlyWhenTheSizeChanges) {
  Ref<TestView> v = view({10, 10, 110, 110}, 0);
  int before = v->resized;
  v->setFrame({20, 20, 120, 120});
  EXPECT_EQ(v->resized, before);
  v->setFrame({20, 20, 130, 120});
  EXPECT_EQ(v->resized, before + 1);
}

TEST_F(Views, ClosingHidesSendsAndDetachesWhenAsked) {
  Ref<TestView> kept = view({10, 10, 110, 110}, kQELViewTitleBar);
  Ref<TestView> gone = view({200, 10, 300, 110}, kQELViewTitleBar | kQELViewDetachOnClose);
  kept->setOnClosed(message(21));
  gone->setOnClosed(message(22));
  kept->close();
  gone->close();
  window->frame();
  EXPECT_FALSE(kept->visible());
  EXPECT_EQ(kept->closes, 1);
  EXPECT_EQ(kept->window(), window.get());
  EXPECT_EQ(gone->closes, 1);
  EXPECT_EQ(gone->window(), nullptr);
  EXPECT_EQ(window->_childs()->count(), 1u);
  EXPECT_EQ(window->seen, (std::vector<uint64_t>{21, 22}));
}

TEST_F(Views, TitleBarButtonsActOnALeftReleaseOverThem) {
  Ref<TestView> v = view({10, 10, 210, 110}, kQELViewTitleBar | kQELViewCloseButton | kQELViewRollButton |
                                                 kQELViewMenuButton | kQELViewEnableButton | kQELViewDetachOnClose);
  // From the left: menu, enable toggle, roll; the close button at the right end.
  window->click({10 + 5 + 4, 21});
  EXPECT_EQ(v->menus, 1);
  window->click({10 + 203 - 8, 21});
  window->frame();
  EXPECT_EQ(v->closes, 1);
  EXPECT_EQ(v->window(), nullptr);
}

TEST_F(Views, TheEnableToggleDisablesTheViewsContent) {
  Ref<TestView> v = view({10, 10, 210, 110}, kQELViewTitleBar | kQELViewEnableButton);
  Ref<Probe> child = Probe::make({20, 20}, {0, 0});
  v->attach(child);
  window->frame();
  window->click({10 + 5 + 4, 21});
  EXPECT_FALSE(v->enabled());
  EXPECT_FALSE(child->enabled());
  window->click({11 + 5, 31 + 5});  // the content of a disabled view takes no input
  EXPECT_TRUE(child->cursors.empty());
  window->click({10 + 5 + 4, 21});  // the toggle still works
  EXPECT_TRUE(v->enabled());
  window->click({11 + 5, 31 + 5});
  EXPECT_FALSE(child->cursors.empty());
}

// Children are drawn exactly where their input is hit-tested: at the content rect's origin.
TEST_F(Views, ChildrenAreDrawnWhereTheyAreHit) {
  Ref<TestView> v = view({40, 30, 240, 230}, kQELViewTitleBar | kQELViewStatusBar);
  Ref<Probe> child = Probe::make({20, 20}, {0, 0});
  child->color = {1, 0, 0, 1};
  v->attach(child);
  window->frame();
  OGLTRect space = v->space();
  EXPECT_FLOAT_EQ(space.left, 1);
  EXPECT_FLOAT_EQ(space.top, 21);
  float x = 40 + space.left, y = 30 + space.top;
  EXPECT_TRUE(
      near(window->pixel(static_cast<int>(x) + 1, static_cast<int>(y) + 1), {255, 0, 0, 255}, kComposedTolerance));
  EXPECT_TRUE(
      near(window->pixel(static_cast<int>(x) + 18, static_cast<int>(y) + 18), {255, 0, 0, 255}, kComposedTolerance));
  window->click({x + 1, y + 1});
  ASSERT_FALSE(child->cursors.empty());
  window->click({x + 22, y + 22});
  OGLTPoint local = child->worldToLocal({x + 1, y + 1});
  EXPECT_FLOAT_EQ(local.x, 1);
  EXPECT_FLOAT_EQ(local.y, 1);
  size_t hits = child->cursors.size();
  window->click({x + 25, y + 25});
  EXPECT_EQ(child->cursors.size(), hits);
}

// Children are clipped to the content rect when drawn, so they are hit only inside it: not on
// the bars they overflow into, nor at all while the view is rolled up.
TEST_F(Views, ChildrenAreHitOnlyInsideTheContentRect) {
  Ref<TestView> v = view({10, 10, 210, 110}, kQELViewTitleBar | kQELViewStatusBar);
  Ref<Probe> child = Probe::make({300, 300}, {0, 0});
  v->attach(child);
  window->frame();
  window->click({50, 10 + 100 - 8});  // on the status bar, over the child's overflow
  EXPECT_TRUE(child->cursors.empty());
  window->click({50, 10 + 50});
  EXPECT_FALSE(child->cursors.empty());
  v->rollup();
  settle();
  child->cursors.clear();
  window->click({50, 10 + 22});  // inside the rolled-up view, below its title bar
  EXPECT_TRUE(child->cursors.empty());
}

TEST_F(Views, ARolledUpViewDrawsNoChildren) {
  Ref<TestView> v = view({10, 10, 110, 110}, kQELViewTitleBar);
  Ref<Probe> child = Probe::make({20, 20}, {0, 0});
  v->attach(child);
  window->frame();
  size_t drawn = child->renders.size();
  EXPECT_GT(drawn, 0u);
  v->rollup();
  settle();
  drawn = child->renders.size();
  window->frame();
  EXPECT_EQ(child->renders.size(), drawn);
  v->unroll();
  window->frame();
  EXPECT_EQ(child->renders.size(), drawn + 1);
}

}  // namespace

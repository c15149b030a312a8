// Canvases: offset clamping, scrolled children hit and drawn in content coordinates, the cursor
// only for the child under it, hover-bound keys and scrolls, and the greedy canvas.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/widgets/QELTestHeadlessWindow.h"
#include "tests/widgets/QELTestWidgets.h"
#include "ui/widgets/QELBCanvas.h"

namespace {

class Canvases : public ::testing::Test {
protected:
  void SetUp() override {
    window = QELTestHeadlessWindow::make({400, 300});
    ASSERT_TRUE(window);
    canvas = QELCCanvas::widgetWithSize({200, 100}, {50, 50});
    ASSERT_TRUE(canvas && window->attach(canvas));
  }
  Ref<QELTestHeadlessWindow> window;
  Ref<QELCCanvas> canvas;
};

TEST_F(Canvases, TheOffsetStaysWithinTheContent) {
  struct Case {
    OGLTSize content;
    OGLTPoint asked, expected;
  } cases[] = {
      // The largest offset shows the content's last column and row.
      {{1000, 500}, {900, 450}, {800, 400}},
      {{1000, 500}, {-5, 10}, {0, 10}},
      {{150, 500}, {30, 30}, {0, 30}},  // content narrower than the canvas
      {{0, 0}, {30, 30}, {0, 0}},
      {{1000, 500}, {NAN, 20}, {0, 20}},
  };
  for (const Case& c : cases) {
    canvas->setContent(c.content);
    canvas->setOffset(c.asked);
    EXPECT_FLOAT_EQ(canvas->offset().x, c.expected.x);
    EXPECT_FLOAT_EQ(canvas->offset().y, c.expected.y);
  }
  canvas->setContent({1000, 500});
  canvas->setOffset({800, 400});
  canvas->setContent({300, 200});  // re-clamped
  EXPECT_FLOAT_EQ(canvas->offset().x, 100);
  EXPECT_FLOAT_EQ(canvas->offset().y, 100);
  QELTCanvasRecord record{{1000, 500}, {0, 0}};
  OGLTSize size = QELFCanvasApplyOffset(&record, canvas.get(), {2000, 2000});
  EXPECT_FLOAT_EQ(size.w, 200);
  EXPECT_FLOAT_EQ(record.offset.x, 800);
}

TEST_F(Canvases, ScrolledChildrenAreHitAndDrawnInContentCoordinates) {
  canvas->setContent({1000, 500});
  Ref<Probe> near1 = Probe::make({20, 20}, {110, 10}), far = Probe::make({20, 20}, {500, 10});
  near1->color = {0, 1, 0, 1};
  far->color = {1, 0, 0, 1};
  canvas->attach(near1);
  canvas->attach(far);
  canvas->setOffset({100, 0});
  window->frame();
  // The near child sits at content x 110, shown at canvas x 10.
  EXPECT_TRUE(near(window->pixel(50 + 15, 50 + 15), {0, 255, 0, 255}, kComposedTolerance));
  window->click({50 + 15, 50 + 15});
  EXPECT_FALSE(near1->cursors.empty());
  EXPECT_TRUE(far->cursors.empty());
  OGLTPoint local = near1->worldToLocal({65, 65});
  EXPECT_FLOAT_EQ(local.x, 5);
  // Only the child under the cursor is asked, even though both overlap the visible part.
  far->setPosition({150, 10});
  window->frame();
  size_t before = far->cursors.size();
  window->click({50 + 15, 50 + 15});
  EXPECT_EQ(far->cursors.size(), before);
  // The canvas itself sees every cursor event inside it.
  window->moveTo({240, 140});
  EXPECT_TRUE(canvas->hasCursorRecord());
}

// Where children overlap, the one drawn on top (attached later) is the one the cursor reaches.
TEST_F(Canvases, TheTopmostChildUnderTheCursorTakesIt) {
  canvas->setContent({1000, 500});
  Ref<Probe> under = Probe::make({40, 40}, {10, 10}), over = Probe::make({40, 40}, {30, 30});
  under->color = {1, 0, 0, 1};
  over->color = {0, 0, 1, 1};
  canvas->attach(under);
  canvas->attach(over);
  window->frame();
  EXPECT_TRUE(near(window->pixel(50 + 40, 50 + 40), {0, 0, 255, 255}, kComposedTolerance));
  window->click({50 + 40, 50 + 40});
  EXPECT_FALSE(over->cursors.empty());
  EXPECT_TRUE(under->cursors.empty());
}

TEST_F(Canvases, KeysAndScrollsOnlyWhileTheCursorIsOver) {
  Ref<Probe> child = Probe::make({20, 20}, {0, 0});
  child->consumeCursor = false;
  canvas->attach(child);
  window->cursorEvent({300, 250});
  window->scroll({0, 1});
  EXPECT_FALSE(window->frame());
  EXPECT_EQ(child->scrolls, 0);
  window->cursorEvent({60, 60});
  window->scroll({0, 1});
  window->frame();
  EXPECT_EQ(child->scrolls, 1);
}

TEST_F(Canvases, AGreedyCanvasQueuesEventsOutsideItself) {
  Ref<Box> box = Box::make({400, 300}, {0, 0});
  window->detach(canvas);
  window->attach(box);
  box->attach(canvas);
  window->frame();
  window->setGreedy(canvas);
  window->cursorEvent({390, 290}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  ASSERT_TRUE(canvas->hasCursorRecord());
  EXPECT_FLOAT_EQ(canvas->inputs().records[0].cursor.point.x, 340);
}

}  // namespace

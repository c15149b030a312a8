// The widget window on a headless surface: edge resizing, raising on click, long press, the
// greedy widget and the sink, key routing, the two drawing passes and closing.
#include <gtest/gtest.h>

#include "tests/widgets/QELTestHeadlessWindow.h"
#include "tests/widgets/QELTestWidgets.h"

namespace {

class WidgetWindow : public ::testing::Test {
protected:
  void SetUp() override {
    window = QELTestHeadlessWindow::make({400, 300});
    ASSERT_TRUE(window);
  }
  Ref<TestView> view(OGLTRect frame, uint32_t flags) {
    Ref<TestView> v =
        TestView::make({frame.right - frame.left, frame.bottom - frame.top}, {frame.left, frame.top}, flags);
    EXPECT_TRUE(window->attach(v));
    return v;
  }
  Ref<QELTestHeadlessWindow> window;
};

TEST_F(WidgetWindow, ARightEdgeDragWidensTheViewWithinItsLimits) {
  struct Case {
    float maxWidth, expected;
  } cases[] = {{0, 130}, {110, 110}};
  for (const Case& c : cases) {
    Ref<TestView> v = view({50, 50, 150, 150}, kQELViewResizable | kQELViewTitleBar);
    v->setMaxSize({c.maxWidth, 0});
    window->frame();
    window->drag({148, 100}, {178, 100});
    EXPECT_FLOAT_EQ(v->size().w, c.expected) << c.maxWidth;
    EXPECT_FLOAT_EQ(v->frame().left, 50);
    EXPECT_EQ(window->resizeMode(), kQELResizeNone);
    EXPECT_EQ(window->cursor(), kOGLCursorArrow);
    window->detach(v);
  }
}

// Dragging an edge past the opposite one used to give a negative width and lose the view.
TEST_F(WidgetWindow, AnEdgeDragStopsAtAUsableSize) {
  Ref<TestView> v = view({100, 50, 200, 150}, kQELViewResizable | kQELViewTitleBar | kQELViewCloseButton);
  window->frame();
  window->drag({101, 100}, {390, 100});
  OGLTSize usable = v->usableSize();
  EXPECT_GT(usable.w, 40);
  EXPECT_FLOAT_EQ(v->size().w, usable.w);
  EXPECT_FLOAT_EQ(v->frame().right, 200);
  float middle = (v->frame().left + v->frame().right) / 2;
  window->drag({middle, 149}, {middle, 0});
  EXPECT_FLOAT_EQ(v->size().h, usable.h);
}

TEST_F(WidgetWindow, EdgeBandsPickTheirEdgeAndCursor) {
  struct Case {
    OGLTPoint point;
    uint32_t mode, shape;
  } cases[] = {
      {{100, 51}, kQELResizeTop, kOGLCursorVerticalResize},
      {{100, 149}, kQELResizeBottom, kOGLCursorVerticalResize},
      {{51, 100}, kQELResizeLeft, kOGLCursorHorizontalResize},
      {{149, 100}, kQELResizeRight, kOGLCursorHorizontalResize},
  };
  Ref<TestView> v = view({50, 50, 150, 150}, kQELViewResizable);
  for (const Case& c : cases) {
    window->moveTo(c.point);
    EXPECT_EQ(window->cursor(), c.shape);
    window->cursorEvent(c.point, kOGLButtonLeft, kOGLActionPress);
    window->frame();
    EXPECT_EQ(window->resizeMode(), c.mode);
    window->cursorEvent(c.point, kOGLButtonLeft, kOGLActionRelease);
    window->frame();
  }
  // A view 4 wide: the middle is as far from the left as from the right edge: right wins.
  Ref<TestView> narrow = view({300, 50, 304, 150}, kQELViewResizable);
  window->cursorEvent({302, 100}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  EXPECT_EQ(window->resizeMode(), kQELResizeRight);
  window->cursorEvent({302, 100}, kOGLButtonLeft, kOGLActionRelease);
  window->frame();
  window->moveTo({250, 250});
  EXPECT_EQ(window->cursor(), kOGLCursorArrow);
}

TEST_F(WidgetWindow, AResizeEndsWhenFocusIsLostOrTheViewGoes) {
  Ref<TestView> v = view({50, 50, 150, 150}, kQELViewResizable);
  window->cursorEvent({149, 100}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  ASSERT_EQ(window->resizeMode(), kQELResizeRight);
  window->detach(v);
  window->cursorEvent({170, 100}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  EXPECT_EQ(window->resizeMode(), kQELResizeNone);
  EXPECT_FLOAT_EQ(v->size().w, 100);
}

TEST_F(WidgetWindow, AClickRaisesTheViewOnRelease) {
  Ref<TestView> below = view({10, 10, 110, 110}, 0), above = view({60, 60, 160, 160}, 0);
  window->frame();
  window->cursorEvent({20, 20}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  EXPECT_EQ(window->childs().back().get(), above.get());
  EXPECT_EQ(window->candidate(), below.get());
  window->cursorEvent({20, 20}, kOGLButtonLeft, kOGLActionRelease);
  window->frame();
  EXPECT_EQ(window->childs().back().get(), below.get());
  // A click outside every view forgets the candidate.
  window->click({300, 250});
  EXPECT_EQ(window->candidate(), nullptr);
}

TEST_F(WidgetWindow, ALongPressRaisesOnceAfterAQuarterSecondOfStillness) {
  Ref<TestView> below = view({10, 10, 110, 110}, kQELViewLongPress), above = view({60, 60, 160, 160}, 0);
  window->frame();
  window->cursorEvent({70, 70}, kOGLButtonLeft, kOGLActionPress);
  window->frame(0.1f);  // the press makes it the candidate
  EXPECT_EQ(window->candidate(), above.get());
  window->cursorEvent({70, 70}, kOGLButtonLeft, kOGLActionRelease);
  window->frame(0.1f);
  window->detach(above);
  window->attach(above);  // above stays on top of below, below still the candidate's rival
  window->cursorEvent({20, 20}, kOGLButtonLeft, kOGLActionPress);
  window->frame(0.1f);
  ASSERT_EQ(window->candidate(), below.get());
  window->cursorEvent({21, 20}, kOGLButtonLeft, kOGLActionPress);
  window->frame(0.1f);
  window->cursorEvent({23, 20}, kOGLButtonLeft, kOGLActionPress);  // moved by 2: the count restarts
  window->frame(0.1f);
  window->cursorEvent({23, 21}, kOGLButtonLeft, kOGLActionPress);
  window->frame(0.1f);
  window->cursorEvent({23, 21}, kOGLButtonLeft, kOGLActionPress);
  window->frame(0.1f);
  window->beat();
  EXPECT_NE(window->childs().back().get(), below.get());
  window->cursorEvent({23, 21}, kOGLButtonLeft, kOGLActionPress);
  window->frame(0.1f);
  window->beat();  // the raise shows in the drawing order at the next sync
  EXPECT_EQ(window->childs().back().get(), below.get());
}

// A pointer that rests on a view without pressing is no long press.
TEST_F(WidgetWindow, APointerRestingOnAViewRaisesNothing) {
  Ref<TestView> below = view({10, 10, 110, 110}, kQELViewLongPress), above = view({60, 60, 160, 160}, 0);
  window->frame();
  for (int i = 0; i < 10; ++i) {
    window->cursorEvent({20, 20});
    window->frame(0.1f);
  }
  window->beat();
  EXPECT_EQ(window->childs().back().get(), above.get());
}

// A widget over a view that goes away when it takes a press (a menu item) or a release (a
// dialog's button): the rest of that click, held still, dragged over the view's title bar and
// released, and the pointer resting there afterwards, reach nothing beneath: the view is neither
// raised nor dragged, and its control gets no press and no release.
TEST_F(WidgetWindow, TheRestOfAClickGoesOnlyToTheWidgetThatTookItsPress) {
  class Vanishing : public Probe {
  public:
    explicit Vanishing(int32_t on) : Probe({100, 55}, {20, 5}), on_(on) {}
    bool onInputWithCursor(const OGLTCursorEvent& c) override {
      Probe::onInputWithCursor(c);
      if (c.button == kOGLButtonLeft && c.action == on_) window()->detach(Ref<QELBWidget>(this));
      return true;
    }

  private:
    int32_t on_;
  };
  for (int32_t on : {kOGLActionPress, kOGLActionRelease}) {
    SCOPED_TRACE(on == kOGLActionPress ? "gone on the press" : "gone on the release");
    Ref<TestView> below = view({10, 10, 210, 160}, kQELViewTitleBar | kQELViewDraggable | kQELViewLongPress);
    Ref<Probe> control = Probe::make({196, 126}, {0, 0});
    ASSERT_TRUE(below->attach(control));
    Ref<TestView> cover = view({150, 100, 300, 250}, 0);
    Ref<Vanishing> above = adoptRef(new Vanishing(on));
    ASSERT_TRUE(window->attach(above));
    window->frame();
    const OGLTPoint inside = {100, 40};  // over the widget above and the view's control
    auto held = [&](OGLTPoint at, int32_t action = kOGLActionPress) {
      window->cursorEvent(at, kOGLButtonLeft, action);
      window->frame(0.1f);
    };
    held(inside);
    for (int i = 0; i < 4; ++i) held(inside);
    held({180, 20});  // the view's title bar, beside the widget above
    held({190, 25});
    held(inside);
    held(inside, kOGLActionRelease);
    for (int i = 0; i < 4; ++i) {
      window->cursorEvent(inside);
      window->frame(0.1f);
    }
    window->beat();
    EXPECT_FALSE(above->window());
    EXPECT_FLOAT_EQ(below->frame().left, 10);
    EXPECT_FLOAT_EQ(below->frame().top, 10);
    EXPECT_FALSE(below->isDragged());
    EXPECT_EQ(window->childs().back().get(), cover.get()) << "the view beneath was raised";
    size_t clicks = 0;
    for (const OGLTCursorEvent& c : control->cursors) clicks += c.button == kOGLButtonLeft;
    EXPECT_EQ(clicks, 0u) << "the control beneath got the click";
    window->detach(cover);
    window->detach(below);
  }
}

// A click whose release the window never saw (the button let go elsewhere) ends at the next plain
// move: the next press starts a click of its own, taken where it lands.
TEST_F(WidgetWindow, AClickWhoseReleaseWasMissedEndsAtThePlainMoveAfterIt) {
  Ref<Probe> first = Probe::make({50, 50}, {10, 10}), second = Probe::make({50, 50}, {100, 10});
  ASSERT_TRUE(window->attach(first) && window->attach(second));
  window->cursorEvent({30, 30}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  window->cursorEvent({120, 30});
  window->frame();
  window->click({120, 30});
  ASSERT_EQ(second->cursors.size(), 3u);
  EXPECT_EQ(second->cursors[1].action, kOGLActionPress);
  EXPECT_EQ(second->cursors[2].action, kOGLActionRelease);
}

TEST_F(WidgetWindow, TheGreedyWidgetTakesEveryCursorEventUntilTheLeftRelease) {
  Ref<Box> box = Box::make({100, 100}, {0, 0});
  window->attach(box);
  Ref<Probe> slider = Probe::make({20, 10}, {10, 10});
  box->attach(slider);
  window->frame();
  window->setGreedy(slider);
  ASSERT_EQ(window->greedy(), slider.get());
  window->cursorEvent({350, 250}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  ASSERT_FALSE(slider->cursors.empty());
  EXPECT_FLOAT_EQ(slider->cursors.back().point.x, 350);
  window->cursorEvent({350, 250}, kOGLButtonLeft, kOGLActionRelease);
  window->frame();
  EXPECT_EQ(window->greedy(), nullptr);
  // Only widgets of this window can be greedy.
  Ref<Probe> stranger = Probe::make();
  window->setGreedy(stranger);
  EXPECT_EQ(window->greedy(), nullptr);
}

// A greedy widget that is hidden, disabled or detached lets the interface go at once.
TEST_F(WidgetWindow, AGreedyWidgetThatCannotTakeInputIsLetGo) {
  enum class Loss { hidden, disabled, detached };
  for (Loss loss : {Loss::hidden, Loss::disabled, Loss::detached}) {
    Ref<Box> box = Box::make({100, 100}, {0, 0});
    window->attach(box);
    Ref<Probe> greedy = Probe::make({20, 10}, {10, 10});
    Ref<Probe> other = Probe::make({50, 50}, {200, 200});
    box->attach(greedy);
    window->attach(other);
    window->frame();
    window->setGreedy(greedy);
    if (loss == Loss::hidden) greedy->setVisible(false);
    if (loss == Loss::disabled) box->setEnabled(false);
    if (loss == Loss::detached) box->detach(greedy);
    window->click({220, 220});
    EXPECT_EQ(window->greedy(), nullptr) << static_cast<int>(loss);
    EXPECT_FALSE(other->cursors.empty()) << static_cast<int>(loss);
    window->detachAll();
  }
}

TEST_F(WidgetWindow, KeysGoToTheSinkOrElseOnlyUnderTheCursor) {
  Ref<Probe> left = Probe::make({100, 100}, {0, 0}), right = Probe::make({100, 100}, {200, 0});
  window->attach(left);
  window->attach(right);
  left->consumeCursor = right->consumeCursor = false;
  window->cursorEvent({250, 50});
  window->key(65, kOGLActionPress);
  window->frame();
  EXPECT_TRUE(left->keys.empty());
  EXPECT_EQ(right->keys, (std::vector<int32_t>{65}));
  // A sink inside a box: the box (its root) gets the key and hands it down.
  Ref<Box> box = Box::make({50, 50}, {0, 200});
  Ref<Probe> field = Probe::make({10, 10}, {0, 0});
  window->attach(box);
  box->attach(field);
  window->frame();
  window->setSink(field);
  window->key(66, kOGLActionPress);
  window->character('x');
  window->frame();
  EXPECT_EQ(field->keys, (std::vector<int32_t>{66}));
  EXPECT_EQ(field->symbols, (std::vector<uint32_t>{'x'}));
  EXPECT_EQ(right->keys.size(), 1u);
  // A left release anywhere lets the sink go.
  window->click({250, 50});
  EXPECT_EQ(window->sink(), nullptr);
}

TEST_F(WidgetWindow, NegativeLayersAreDrawnBeneathTheContentPass) {
  std::vector<std::string> log;
  Ref<Probe> under = Probe::make({10, 10}, {0, 0}), over = Probe::make({10, 10}, {20, 0});
  under->setLayer(-1);
  under->onRender = [&] { log.push_back("under"); };
  over->onRender = [&] { log.push_back("over"); };
  window->content = [&] { log.push_back("content"); };
  window->attach(over);
  window->attach(under);
  window->frame();
  EXPECT_EQ(log, (std::vector<std::string>{"under", "content", "over"}));
  // Invisible widgets are skipped; each widget is drawn in its own coordinates, clipped.
  over->setVisible(false);
  under->color = {1, 0, 0, 1};
  log.clear();
  window->frame();
  EXPECT_EQ(log, (std::vector<std::string>{"under", "content"}));
  EXPECT_TRUE(near(window->pixel(5, 5), {255, 0, 0, 255}, kComposedTolerance));
  EXPECT_TRUE(near(window->pixel(15, 5), {0, 0, 0, 0}, kComposedTolerance));
}

TEST_F(WidgetWindow, BroadcastsReachEveryWidgetOnALaterTurn) {
  struct Listener : Probe {
    Listener() : Probe({1, 1}, {0, 0}) {}
    void onBroadcast(const Ref<LLKBObject>& object) override { heard = object; }
    Ref<LLKBObject> heard;
  };
  Ref<Box> box = Box::make();
  Ref<Listener> listener = adoptRef(new Listener());
  window->attach(box);
  box->attach(listener);
  Ref<LLKCMessage> news = message(42);
  EXPECT_TRUE(window->broadcast(news));
  EXPECT_FALSE(listener->heard);
  window->pump();
  EXPECT_EQ(listener->heard.get(), static_cast<LLKBObject*>(news.get()));
}

TEST_F(WidgetWindow, ClosingDetachesEverything) {
  Ref<Probe> a = Probe::make();
  Ref<Box> box = Box::make();
  Ref<Probe> inner = Probe::make();
  window->attach(a);
  window->attach(box);
  box->attach(inner);
  window->close();
  EXPECT_EQ(window->_childs()->count(), 0u);
  EXPECT_EQ(a->window(), nullptr);
  EXPECT_EQ(inner->window(), nullptr);
  EXPECT_EQ(inner->windowDetaches, 1);
}

TEST_F(WidgetWindow, TopLevelWidgetsBelongToOneWindow) {
  Ref<QELTestHeadlessWindow> other = QELTestHeadlessWindow::make({100, 100});
  ASSERT_TRUE(other);
  Ref<Probe> top = Probe::make({10, 10}, {0, 0}), next = Probe::make({10, 10}, {0, 0});
  Ref<Box> box = Box::make();
  EXPECT_TRUE(window->attach(top));
  EXPECT_FALSE(window->attach(top));
  EXPECT_FALSE(other->attach(top));
  EXPECT_FALSE(other->detach(top));
  EXPECT_FALSE(other->raise(top.get()));
  window->attach(box);
  Ref<Probe> child = Probe::make();
  box->attach(child);
  EXPECT_FALSE(window->detach(child));  // a child goes through its parent
  // A top-level widget whose layer changes is moved in the window's list.
  window->attach(next);
  window->frame();
  top->setLayer(4);
  window->frame();
  EXPECT_EQ(window->childs().back().get(), top.get());
  top->setLayer(-4);
  window->frame();
  EXPECT_EQ(window->childs().front().get(), top.get());
  EXPECT_TRUE(window->detach(top));
  window->frame();
  EXPECT_EQ(window->_childs()->count(), 2u);
}

TEST_F(WidgetWindow, TheThemeIsAWritableCopy) {
  EXPECT_FLOAT_EQ(window->tweaks()->cornerRadius, 6);
  EXPECT_FLOAT_EQ(window->tweaks()->textColor.a, 0.62f);
  EXPECT_STREQ(window->tweaks()->largeFontFace, "mono");
  window->tweaks()->padding = 9;
  EXPECT_FLOAT_EQ(kWindowTweaks.padding, 5);
}

}  // namespace

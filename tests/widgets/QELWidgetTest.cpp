// The widget base: geometry and rounding, layers, the input queue, hover messages, the three
// ways of sending, enablement and coordinates through parents with spaces.
#include <gtest/gtest.h>

#include "tests/widgets/QELTestHeadlessWindow.h"
#include "tests/widgets/QELTestWidgets.h"

namespace {

TEST(QELWidget, FrameIsRoundedUpAtItsPositionOnly) {
  Ref<QELCWidget> w = QELCWidget::widgetWithSize({10.5f, 4}, {0.4f, 2.0f});
  ASSERT_TRUE(w);
  EXPECT_EQ(w->frame().left, 1);
  EXPECT_EQ(w->frame().top, 2);
  EXPECT_EQ(w->frame().right, 11.5f);
  EXPECT_EQ(w->frame().bottom, 6);
  w->setFrame({2.2f, 3.7f, 12.2f, 13.7f});
  EXPECT_EQ(w->frame().left, 3);
  EXPECT_EQ(w->frame().top, 4);
  EXPECT_FLOAT_EQ(w->size().w, 10);
  w->setPosition({-1.5f, 0.1f});
  EXPECT_EQ(w->position().x, -1);
  EXPECT_EQ(w->position().y, 1);
  EXPECT_FLOAT_EQ(w->size().h, 10);
  EXPECT_EQ(w->bounds().left, 0);
  EXPECT_FLOAT_EQ(w->bounds().right, 10);
}

TEST(QELWidget, LayerZeroIsStoredAsMinusOne) {
  Ref<Probe> w = Probe::make();
  EXPECT_EQ(w->layer(), 1);
  w->setLayer(0);
  EXPECT_EQ(w->layer(), -1);
  w->setLayer(9);
  EXPECT_EQ(w->layer(), 9);
}

TEST(QELWidget, NinthRecordOfAFrameIsDropped) {
  Ref<Probe> w = Probe::make();
  for (int i = 0; i < 9; ++i) EXPECT_FALSE(w->QELBWidget::onInputWithKeypad({i, 0, kOGLActionPress, 0}));
  EXPECT_EQ(w->inputs().count, 8u);
  EXPECT_EQ(w->inputs().records[7].key.key, 7);
  w->onAwaken();
  EXPECT_EQ(w->inputs().count, 0u);
}

TEST(QELWidget, HoverSendsOneEnterAndOneLeaveWithTheSender) {
  Ref<Box> box = Box::make();
  Ref<Probe> w = Probe::make({10, 10}, {5, 5});
  ASSERT_TRUE(box->attach(w));
  w->setOnEnter(message(7));
  w->setOnLeave(message(8));
  box->passOn = false;
  auto frameWithCursor = [&](bool over) {
    w->onAwaken();
    if (over) w->forceInputWithCursor({0, 0, 0, {8, 8}});
    w->onUpdateWithStep(0.1f);
  };
  frameWithCursor(true);
  frameWithCursor(true);
  EXPECT_EQ(box->messages, (std::vector<uint64_t>{7}));
  EXPECT_EQ(w->enters, 1);
  frameWithCursor(false);
  frameWithCursor(false);
  EXPECT_EQ(box->messages, (std::vector<uint64_t>{7, 8}));
  EXPECT_EQ(w->leaves, 1);
  // The template is left alone; copies carry the sender.
  EXPECT_FALSE(w->onEnter()->details().contains("sender"));
}

TEST(QELWidget, HoverCopiesNameTheSender) {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({100, 100});
  ASSERT_TRUE(window);
  struct Catcher : QELBParent {
    Catcher(OGLTSize size, OGLTPoint position) : QELBParent(size, position) {}
    void onMessaged(const Ref<LLKCMessage>& m) override { sender = m->details().objectForKey("sender"); }
    Ref<LLKBObject> sender;
  };
  Ref<Catcher> top = adoptRef(new Catcher({100, 100}, {0, 0}));
  Ref<Probe> w = Probe::make({20, 20}, {10, 10});
  ASSERT_TRUE(window->attach(top));
  ASSERT_TRUE(top->attach(w));
  w->setOnEnter(message(1));
  window->moveTo({15, 15});
  EXPECT_EQ(top->sender.get(), static_cast<LLKBObject*>(w.get()));
}

TEST(QELWidget, SendingWithoutAWayIsDropped) {
  Ref<Probe> lonely = Probe::make();
  EXPECT_FALSE(lonely->send(message(1)));
  EXPECT_FALSE(lonely->post(message(1)));
  EXPECT_FALSE(lonely->poke(message(1)));
  // A child whose parent has no window cannot post.
  Ref<Box> box = Box::make();
  Ref<Probe> child = Probe::make();
  box->attach(child);
  EXPECT_FALSE(child->post(message(1)));
  EXPECT_TRUE(child->send(message(2)));
  EXPECT_EQ(box->messages, (std::vector<uint64_t>{2}));
}

TEST(QELWidget, MessagesClimbAtOnceAndReachTheWindowLater) {
  struct Window : QELTestHeadlessWindow {
    bool onMessaged(const Ref<LLKCMessage>& m) override {
      seen.push_back(m->codeValue());
      return true;
    }
    std::vector<uint64_t> seen;
  };
  Ref<Window> window = QELTestHeadlessWindow::open(adoptRef(new Window()), {100, 100});
  ASSERT_TRUE(window);
  Ref<Box> outer = Box::make(), inner = Box::make();
  Ref<Probe> leaf = Probe::make();
  window->attach(outer);
  outer->attach(inner);
  inner->attach(leaf);
  EXPECT_TRUE(leaf->send(message(5)));
  EXPECT_EQ(inner->messages, (std::vector<uint64_t>{5}));
  EXPECT_EQ(outer->messages, (std::vector<uint64_t>{5}));
  EXPECT_TRUE(window->seen.empty());  // posted: a later turn
  window->pump();
  EXPECT_EQ(window->seen, (std::vector<uint64_t>{5}));
  // post: the parent sees it on a later turn.
  EXPECT_TRUE(leaf->post(message(6)));
  EXPECT_EQ(inner->messages.size(), 1u);
  window->pump();
  EXPECT_EQ(inner->messages.back(), 6u);
  // poke: the widget itself, later.
  EXPECT_TRUE(leaf->poke(message(7)));
  EXPECT_TRUE(leaf->messages.empty());
  window->pump();
  EXPECT_EQ(leaf->messages, (std::vector<uint64_t>{7}));
  EXPECT_TRUE(leaf->poke(message(8), 20));
  EXPECT_TRUE(window->pumpUntil([&] { return leaf->messages.size() == 2; }));
}

TEST(QELWidget, APokedWidgetStaysAliveUntilItsMessageRuns) {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({100, 100});
  ASSERT_TRUE(window);
  Ref<Box> box = Box::make();
  window->attach(box);
  Ref<Probe> leaf = Probe::make();
  box->attach(leaf);
  std::vector<uint64_t> seen;
  leaf->onMessage = [&](const Ref<LLKCMessage>& m) { seen.push_back(m->codeValue()); };
  leaf->poke(message(3));
  box->detach(leaf);
  leaf.reset();
  EXPECT_EQ(window->pump(), 1);  // runs on the widget the task kept alive
  EXPECT_EQ(seen, (std::vector<uint64_t>{3}));
}

TEST(QELWidget, EnabledFollowsTheParentAndAncestorsMatchExactly) {
  Ref<Box> box = Box::make();
  Ref<Probe> child = Probe::make();
  box->attach(child);
  box->setEnabled(false);
  EXPECT_FALSE(child->enabled());
  box->setEnabled(true);
  EXPECT_TRUE(child->enabled());
  EXPECT_EQ(child->findAncestorOfClass<Box>(), box.get());
  // A Box is a QELBParent subclass: asking for QELBParent does not match it.
  EXPECT_EQ(child->findAncestorOfClass<QELBParent>(), nullptr);
}

TEST(QELWidget, CoordinatesGoThroughEverySpace) {
  Ref<Box> outer = Box::make({200, 200}, {10, 20});
  outer->inset = {5, 7};
  Ref<Box> inner = Box::make({100, 100}, {30, 40});
  Ref<Probe> leaf = Probe::make({10, 10}, {3, 4});
  outer->attach(inner);
  inner->attach(leaf);
  // World (10 + 5 + 30 + 3, 20 + 7 + 40 + 4) is the leaf's origin.
  OGLTPoint local = leaf->worldToLocal({48, 71});
  EXPECT_FLOAT_EQ(local.x, 0);
  EXPECT_FLOAT_EQ(local.y, 0);
  OGLTPoint world = leaf->localToWorld({2, 3});
  EXPECT_FLOAT_EQ(world.x, 50);
  EXPECT_FLOAT_EQ(world.y, 74);
  OGLTPoint space = outer->worldToSpace({20, 30});
  EXPECT_FLOAT_EQ(space.x, 5);
  EXPECT_FLOAT_EQ(space.y, 3);
}

}  // namespace

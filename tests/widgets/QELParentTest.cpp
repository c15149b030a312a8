// The layered list and the parent widget: result codes, buckets, order, comparators, moving a
// widget to a new layer, one owner at a time, input fan-out and detaching from inside hooks.
#include <gtest/gtest.h>

#include "tests/widgets/QELTestHeadlessWindow.h"
#include "tests/widgets/QELTestWidgets.h"

namespace {

std::vector<QELBWidget*> order(const QELCWidgets& list) {
  std::vector<QELBWidget*> out;
  for (const Ref<QELBWidget>& w : list.childs()) out.push_back(w.get());
  return out;
}

TEST(QELWidgets, ResultCodesAndDrawingOrder) {
  Ref<QELCWidgets> list = QELCWidgets::widgets();
  Ref<Probe> a = Probe::make(), b = Probe::make(), c = Probe::make(), d = Probe::make();
  b->setLayer(12);   // bucket of layer 8
  c->setLayer(-20);  // bucket of layer -8
  d->setLayer(-1);
  EXPECT_EQ(list->append(a), kQELWidgetsDone);
  EXPECT_EQ(list->append(a), kQELWidgetsPresence);
  EXPECT_EQ(list->append(b), kQELWidgetsDone);
  EXPECT_EQ(list->append(c), kQELWidgetsDone);
  EXPECT_EQ(list->append(d), kQELWidgetsDone);
  EXPECT_EQ(list->count(), 4u);
  EXPECT_TRUE(list->childs().empty());  // stale until sync
  EXPECT_EQ(list->fetchAtIndex(2).get(), c.get());
  EXPECT_TRUE(list->sync());
  EXPECT_FALSE(list->sync());
  EXPECT_EQ(order(*list), (std::vector<QELBWidget*>{c.get(), d.get(), a.get(), b.get()}));
  EXPECT_EQ(list->remove(Probe::make().get()), kQELWidgetsPresence);
  EXPECT_EQ(list->removeAtIndex(9), kQELWidgetsPresence);
  EXPECT_EQ(list->removeAtIndex(0), kQELWidgetsDone);
  EXPECT_FALSE(list->contains(a.get()));
}

TEST(QELWidgets, RaiseAndLowerWithinALayer) {
  Ref<QELCWidgets> list = QELCWidgets::widgets();
  Ref<Probe> a = Probe::make(), b = Probe::make(), c = Probe::make();
  for (auto& w : {a, b, c}) list->append(w);
  EXPECT_TRUE(list->raise(a.get()));
  list->sync();
  EXPECT_EQ(order(*list), (std::vector<QELBWidget*>{b.get(), c.get(), a.get()}));
  EXPECT_TRUE(list->lower(c.get()));
  list->sync();
  EXPECT_EQ(order(*list), (std::vector<QELBWidget*>{c.get(), b.get(), a.get()}));
  EXPECT_FALSE(list->raise(Probe::make().get()));
}

TEST(QELWidgets, AComparatorOrdersAndRaiseChangesNothing) {
  Ref<QELCWidgets> list = QELCWidgets::widgets();
  list->setComparator(
      [](QELBWidget* x, QELBWidget* y) { return static_cast<int>(x->tag()) - static_cast<int>(y->tag()); });
  Ref<Probe> a = Probe::make(), b = Probe::make(), c = Probe::make();
  a->setTag(3);
  b->setTag(1);
  c->setTag(2);
  for (auto& w : {a, b, c}) list->append(w);
  EXPECT_TRUE(list->raise(b.get()));
  EXPECT_TRUE(list->lower(a.get()));
  list->sync();
  EXPECT_EQ(order(*list), (std::vector<QELBWidget*>{b.get(), c.get(), a.get()}));
}

// A widget whose layer changes after it was attached moves to its new layer; removing it
// afterwards finds it.
TEST(QELWidgets, AWidgetThatChangesLayerIsMovedNotLost) {
  Ref<Box> box = Box::make();
  Ref<Probe> a = Probe::make(), b = Probe::make();
  box->attach(a);
  box->attach(b);
  a->setLayer(5);
  box->_childs()->sync();
  EXPECT_EQ(box->childs().back().get(), a.get());
  a->setLayer(-3);
  box->_childs()->sync();
  EXPECT_EQ(box->childs().front().get(), a.get());
  EXPECT_TRUE(box->detach(a));
  box->_childs()->sync();
  EXPECT_EQ(box->childs().size(), 1u);
  EXPECT_EQ(a->parent(), nullptr);
}

TEST(QELParent, OneOwnerAtATime) {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({100, 100});
  ASSERT_TRUE(window);
  Ref<Box> first = Box::make(), second = Box::make();
  Ref<Probe> child = Probe::make();
  EXPECT_TRUE(first->attach(child));
  EXPECT_FALSE(second->attach(child));  // has another parent
  EXPECT_EQ(child->parent(), first.get());
  EXPECT_FALSE(window->attach(child));
  Ref<Probe> top = Probe::make();
  EXPECT_TRUE(window->attach(top));
  EXPECT_FALSE(first->attach(top));  // a top-level widget of a window
  EXPECT_FALSE(first->attach(first));
  EXPECT_TRUE(window->attach(second));
  EXPECT_TRUE(second->attach(Ref<QELBWidget>(first)));
  EXPECT_FALSE(first->attach(second));  // would hold its own ancestor
  EXPECT_FALSE(first->detach(Probe::make()));
  EXPECT_EQ(child->window(), window.get());
  EXPECT_EQ(child->windowAttaches, 1);
  EXPECT_TRUE(window->detach(second));
  EXPECT_EQ(child->window(), nullptr);
  EXPECT_EQ(child->windowDetaches, 1);
}

TEST(QELParent, CursorEventsAreConsumedInsideAndGoOnlyToShownEnabledChildren) {
  Ref<Box> box = Box::make({100, 100}, {10, 10});
  Ref<Probe> hidden = Probe::make({20, 20}, {0, 0}), disabled = Probe::make({20, 20}, {30, 0}),
             shown = Probe::make({20, 20}, {60, 0});
  for (auto& w : {hidden, disabled, shown}) box->attach(w);
  hidden->setVisible(false);
  disabled->setEnabled(false);
  box->onAwaken();
  for (float x : {15.0f, 45.0f, 75.0f}) EXPECT_TRUE(box->onInputWithCursor({0, 0, 0, {x, 15}}));
  EXPECT_TRUE(hidden->cursors.empty());
  EXPECT_TRUE(disabled->cursors.empty());
  EXPECT_EQ(shown->cursors.size(), 1u);
  EXPECT_TRUE(box->onInputWithCursor({0, 0, 0, {50, 90}}));  // inside, over no child
  uint32_t queued = box->inputs().count;
  EXPECT_FALSE(box->onInputWithCursor({0, 0, 0, {200, 200}}));
  EXPECT_EQ(box->inputs().count, queued);
  EXPECT_FALSE(box->onInputWithKeypad({65, 0, kOGLActionPress, 0}) && !shown->consumeKeys);
  EXPECT_TRUE(hidden->keys.empty());
}

TEST(QELParent, HooksMayDetachTheirWidgetOrASibling) {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({100, 100});
  ASSERT_TRUE(window);
  Ref<Box> box = Box::make();
  window->attach(box);
  Ref<Probe> a = Probe::make(), b = Probe::make(), c = Probe::make();
  for (auto& w : {a, b, c}) box->attach(w);
  QELBParent* owner = box.get();
  Ref<QELBWidget> sibling = b;  // detached again at the second frame: refused, not lost
  QELBWidget* self = c.get();
  a->onAwake = [=] { owner->detach(sibling); };
  c->onAwake = [=] { owner->detach(Ref<QELBWidget>(self)); };
  b.reset();
  c.reset();
  window->frame();
  window->frame();
  EXPECT_EQ(box->_childs()->count(), 1u);
  EXPECT_EQ(box->childs().size(), 1u);
}

TEST(QELParent, LocateSearchesDepthFirst) {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({100, 100});
  ASSERT_TRUE(window);
  Ref<Box> outer = Box::make(), inner = Box::make();
  Ref<Probe> deep = Probe::make(), shallow = Probe::make();
  deep->setAlias("target");
  shallow->setAlias("other");
  window->attach(outer);
  outer->attach(inner);
  inner->attach(deep);
  outer->attach(shallow);
  EXPECT_EQ(window->locate("target"), deep.get());
  EXPECT_EQ(outer->locate("other"), shallow.get());
  EXPECT_EQ(window->locate("none"), nullptr);
}

TEST(QELParent, AChildsNewSizeRefitsTheParentOnce) {
  struct Fitting : Box {
    Fitting(OGLTSize size, OGLTPoint position) : Box(size, position) {}
    OGLTSize preferredSizeWithWindow(QELBWindow*) override { return {77, 33}; }
  };
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({100, 100});
  ASSERT_TRUE(window);
  Ref<Fitting> parent = adoptRef(new Fitting({10, 10}, {0, 0}));
  window->attach(parent);
  Ref<Probe> child = Probe::make();
  parent->attach(child);
  child->resizeTo({5, 6});
  EXPECT_FLOAT_EQ(parent->size().w, 10);
  window->frame();
  EXPECT_FLOAT_EQ(parent->size().w, 77);
  EXPECT_FLOAT_EQ(parent->size().h, 33);
}

}  // namespace

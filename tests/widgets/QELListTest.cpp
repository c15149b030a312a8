// The list box and the virtualised collection box in a headless window: which rows exist while
// the box scrolls end to end, how a source that changes its count is followed, and the keys.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "tests/widgets/QELControlTestKit.h"
#include "ui/widgets/QELBCollectionbox.h"
#include "ui/widgets/QELBListbox.h"

namespace {


// Rows of height 19 that keeps count of every widget made and taken back per index, and hands
// recycled widgets out again.
class CountingSource : public QELPCollectionboxSource {
public:
  explicit CountingSource(uint32_t count) : rows(count) {}
  float height() override { return 19; }
  uint32_t count() override { return rows; }
  bool requireWidget(Ref<QELBWidget>& widget, uint32_t index, QELBWindow*) override {
    ++made[index];
    if (pool.empty()) {
      widget = QELCWidget::widgetWithSize({50, 19}, {0, 0});
      ++created;
    } else {
      widget = pool.back();
      pool.pop_back();
    }
    return true;
  }
  void recycleWidget(const Ref<QELBWidget>& widget, uint32_t index) override {
    EXPECT_EQ(widget->parent(), nullptr);
    ++recycled[index];
    pool.push_back(widget);
  }
  uint32_t rows;
  std::map<uint32_t, int> made, recycled;
  std::vector<Ref<QELBWidget>> pool;
  int created = 0;
};

class CollectionTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    box = QELCCollectionbox::widgetWithSize({200, 205}, {10, 10});  // 200 pixels of rows
    source = makeRef<CountingSource>(1000);
    box->setSource(source);
    place(box);
    window->frame();
  }
  // Page Down with the cursor over the box, one frame each.
  void pageDown() {
    window->cursorEvent({100, 100});
    window->key(kOGLKeyPageDown, kOGLActionPress);
    window->frame();
  }
  // Every live row lies in view and is the box's child.
  void expectRowsInView() {
    OGLTRect shown = box->visibleRect();
    EXPECT_EQ(box->childs().size(), box->live().size());
    for (const auto& [index, widget] : box->live()) {
      EXPECT_LT(index, source->rows);
      EXPECT_EQ(widget->parent(), box.get());
      EXPECT_LE(widget->frame().top, shown.bottom) << index;
      EXPECT_GE(widget->frame().bottom + 1, shown.top) << index;
    }
  }

  Ref<QELCCollectionbox> box;
  Ref<CountingSource> source;
};

TEST(QELCollectionboxRange, RowsInViewAreCappedAtTheCount) {
  struct Case {
    float top, height;
    uint32_t count;
    bool any;
    uint32_t first, last;
  } cases[] = {
      {0, 200, 1000, true, 0, 10}, {390, 200, 1000, true, 19, 29}, {19980, 200, 1000, true, 999, 999},
      {0, 200, 5, true, 0, 4},     {0, 200, 0, false, 0, 0},       {-50, 200, 1000, true, 0, 10},
      // a top on a row's edge, inside a row, an empty view, a height one past whole rows, one row
      {20, 200, 1000, true, 1, 11}, {39.5f, 200, 1000, true, 1, 11}, {60, 0, 1000, true, 3, 3},
      {0, 201, 1000, true, 0, 11},  {5000, 200, 1, true, 0, 0},
  };
  Ref<QELCCollectionbox> box = QELCCollectionbox::widgetWithSize({200, 205}, {0, 0});
  ASSERT_TRUE(box);
  QELTCollectionboxRange range{};
  EXPECT_FALSE(QELFCollectionboxComputeVisibleRange(box.get(), {0, 0, 100, 200}, &range, 10));  // no source, no pitch
  box->setSource(makeRef<CountingSource>(0));  // rows of 19 at a pitch of 20
  for (const Case& c : cases) {
    range = {};
    OGLTRect visible{0, c.top, 100, c.top + c.height};
    ASSERT_EQ(QELFCollectionboxComputeVisibleRange(box.get(), visible, &range, c.count), c.any);
    if (!c.any) continue;
    EXPECT_EQ(range.first, c.first) << c.top;
    EXPECT_EQ(range.last, c.last) << c.top;
  }
}

TEST_F(CollectionTest, ScrollingEndToEndMakesAndRecyclesEveryRowExactlyOnce) {
  EXPECT_EQ(box->live().size(), 11u);
  while (box->offset().y < box->contentRect().bottom - 200) {
    pageDown();
    EXPECT_LE(box->live().size(), 11u);
    expectRowsInView();
  }
  EXPECT_FLOAT_EQ(box->offset().y, 1000 * 20 - 200);
  ASSERT_EQ(source->made.size(), 1000u);
  for (const auto& [index, times] : source->made) EXPECT_EQ(times, 1) << index;
  for (const auto& [index, times] : source->recycled) EXPECT_EQ(times, 1) << index;
  EXPECT_EQ(source->recycled.size() + box->live().size(), 1000u);
  EXPECT_LE(source->created, 22);  // the pool serves nearly every row
}

TEST_F(CollectionTest, ACountThatShrinksWhileScrolledKeepsTheViewValid) {
  box->setScroll(0.9f);
  window->frame();
  ASSERT_GT(box->live().begin()->first, 800u);
  source->rows = 50;
  window->frame();
  window->frame();
  EXPECT_FLOAT_EQ(box->offset().y, 50 * 20 - 200);
  EXPECT_FALSE(box->live().empty());
  expectRowsInView();
  for (const auto& [index, times] : source->recycled) EXPECT_EQ(times, 1) << index;

  source->rows = 0;
  window->frame();
  window->frame();
  EXPECT_TRUE(box->live().empty());
  EXPECT_TRUE(box->childs().empty());
  EXPECT_FLOAT_EQ(box->offset().y, 0);
}

TEST_F(CollectionTest, ClearScrollsToTheTopAndRefreshKeepsTheOffset) {
  box->setScroll(0.5f);
  window->frame();
  float offset = box->offset().y;
  ASSERT_GT(offset, 0);
  size_t live = box->live().size();
  box->refresh();
  EXPECT_TRUE(box->live().empty());
  window->frame();
  EXPECT_FLOAT_EQ(box->offset().y, offset);
  EXPECT_EQ(box->live().size(), live);
  box->clear();
  window->frame();
  EXPECT_FLOAT_EQ(box->offset().y, 0);
  EXPECT_EQ(box->live().begin()->first, 0u);
}

TEST_F(CollectionTest, KeysScrollOnlyWhileTheCursorIsOverTheBox) {
  window->cursorEvent({390, 290});
  window->key(kOGLKeyDown, kOGLActionPress);
  window->frame();
  EXPECT_FLOAT_EQ(box->offset().y, 0);
  window->cursorEvent({100, 100});
  window->key(kOGLKeyDown, kOGLActionPress);
  window->frame();
  EXPECT_FLOAT_EQ(box->offset().y, 20);
  window->cursorEvent({100, 100});
  window->key(kOGLKeyEnd, kOGLActionPress);
  window->frame();
  EXPECT_FLOAT_EQ(box->offset().y, 1000 * 20 - 200);
}

class ListTest : public ControlTest {
protected:
  Ref<QELCListbox> list(int children, float height) {
    Ref<QELCListbox> l = QELCListbox::widgetWithSize({200, 205}, {10, 10});  // 200 visible
    for (int i = 0; i < children; ++i) l->attach(QELCWidget::widgetWithSize({50, height}, {0, 0}));
    place(l);
    window->frame();
    return l;
  }
  void key(int code) {
    window->cursorEvent({100, 100});
    window->key(code, kOGLActionPress);
    window->frame();
  }
};

TEST_F(ListTest, UpAndDownMoveWhateverTheNumberOfChildren) {
  struct Case {
    int children;
    float height;
    float afterDown;
  } cases[] = {{0, 0, 0}, {1, 0, 0}, {10, 50, 50}, {2000, 1, 1}};
  for (const Case& c : cases) {
    SetUp();
    Ref<QELCListbox> l = list(c.children, c.height);
    key(kOGLKeyDown);
    EXPECT_FLOAT_EQ(l->offset().y, c.afterDown) << c.children;
    key(kOGLKeyUp);
    EXPECT_FLOAT_EQ(l->offset().y, 0) << c.children;
    EXPECT_FLOAT_EQ(l->scroll(), 0);
  }
}

TEST_F(ListTest, ScrollFractionEndAndShortContent) {
  Ref<QELCListbox> tall = list(20, 50);  // content 1000, visible 200
  tall->setScroll(0.5f);
  window->frame();
  EXPECT_FLOAT_EQ(tall->offset().y, 500);
  tall->setScroll(0.95f);
  window->frame();
  EXPECT_FLOAT_EQ(tall->offset().y, 800);

  SetUp();
  Ref<QELCListbox> shorter = list(3, 20);
  key(kOGLKeyEnd);
  EXPECT_FLOAT_EQ(shorter->offset().y, 0);
}

TEST_F(ListTest, ScrollToVisibleMovesTheLeastNeeded) {
  Ref<QELCListbox> l = list(20, 50);
  Ref<QELBWidget> twelfth = l->_childs()->fetchAtIndex(11);  // 550..600
  l->scrollToVisible(twelfth.get());
  EXPECT_FLOAT_EQ(l->offset().y, 400);
  l->scrollToVisible(l->_childs()->fetchAtIndex(1).get());  // 50..100
  EXPECT_FLOAT_EQ(l->offset().y, 50);
  Ref<QELCWidget> stranger = QELCWidget::widgetWithSize({5, 5}, {0, 0});
  l->scrollToVisible(stranger.get());
  EXPECT_FLOAT_EQ(l->offset().y, 50);
}

}  // namespace

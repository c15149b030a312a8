// Group layout: columns, rows with spacers, centring, uniform sizes, fitting the parent,
// laying out on demand, preferred sizes and the setup tables.
#include <gtest/gtest.h>

#include "tests/widgets/QELTestHeadlessWindow.h"
#include "tests/widgets/QELTestWidgets.h"

namespace {

const QELTGroupSetup kCentered = {3, 0, 0, 0, 0};

class Groups : public ::testing::Test {
protected:
  void SetUp() override {
    window = QELTestHeadlessWindow::make({400, 300});
    ASSERT_TRUE(window);
  }
  // A group in the window, with margin -1 so that its space is its bounds.
  Ref<QELCGroup> group(QELTGroupSetup setup, OGLTSize size = {100, 100}) {
    Ref<QELCGroup> g = QELCGroup::widgetWithSize(size, {0, 0}, &setup);
    EXPECT_TRUE(g && window->attach(g));
    return g;
  }
  static void expectFrame(const QELBWidget* w, OGLTRect f) {
    EXPECT_FLOAT_EQ(w->frame().left, f.left);
    EXPECT_FLOAT_EQ(w->frame().top, f.top);
    EXPECT_FLOAT_EQ(w->frame().right, f.right);
    EXPECT_FLOAT_EQ(w->frame().bottom, f.bottom);
  }
  Ref<QELTestHeadlessWindow> window;
};

TEST_F(Groups, AColumnStacksItsChildren) {
  for (uint32_t flags : {0u, static_cast<uint32_t>(kQELGroupUniformCross)}) {
    Ref<QELCGroup> g = group({kQELGroupColumn, -1, 2, 0, flags});
    Ref<Probe> a = Probe::make({30, 10}), b = Probe::make({50, 12});
    g->attach(a);
    g->attach(b);
    window->frame();
    expectFrame(a.get(), {0, 0, flags ? 50.0f : 30.0f, 10});
    expectFrame(b.get(), {0, 12, 50, 24});
    window->detach(g);
  }
}

TEST_F(Groups, RowSpacersShareTheFreeWidth) {
  Ref<QELCGroup> g = group({kQELGroupRow, -1, 5, 0, kQELGroupSpacers});
  Ref<Probe> a = Probe::make({20, 10}), b = Probe::make({30, 10});
  Ref<Spacer> spacer = Spacer::make({0, 10});
  g->attach(a);
  g->attach(spacer);
  g->attach(b);
  window->frame();
  uint32_t spacers = 0;
  EXPECT_FLOAT_EQ(QELFGroupFindNeededWidth(&g->setup(), g.get(), &spacers), 55);
  EXPECT_EQ(spacers, 1u);
  expectFrame(a.get(), {0, 0, 20, 10});
  expectFrame(spacer.get(), {20, 0, 65, 10});
  expectFrame(b.get(), {65, 0, 95, 10});
  EXPECT_TRUE(spacer->visible());
  // Children that already need more than the space hide every spacer.
  b->setSize({90, 10});
  window->frame();
  EXPECT_FALSE(spacer->visible());
  EXPECT_FLOAT_EQ(spacer->size().w, 0);
}

TEST_F(Groups, CentredAndUniformPlacement) {
  Ref<QELCGroup> centred = group({kQELGroupCentered, -1, 0, 0, 0});
  Ref<Probe> child = Probe::make({20, 10});
  centred->attach(child);
  Ref<QELCGroup> row = group({kQELGroupRow, -1, 0, 0, kQELGroupUniformMain | kQELGroupUniformCross});
  Ref<Probe> small = Probe::make({10, 5}), large = Probe::make({30, 8});
  row->attach(small);
  row->attach(large);
  window->frame();
  expectFrame(child.get(), {40, 45, 60, 55});
  expectFrame(small.get(), {0, 0, 30, 8});
  expectFrame(large.get(), {30, 0, 60, 8});
}

TEST_F(Groups, PreferredSizesAreRoundedAndEven) {
  struct Case {
    float margin;
    float expected;
  } cases[] = {{2, 6}, {2.5f, 8}};
  for (const Case& c : cases) {
    Ref<QELCGroup> g = group({kQELGroupColumn, c.margin, 0, 0, 0});
    OGLTSize s = g->preferredSize();
    EXPECT_FLOAT_EQ(s.w, c.expected);
    EXPECT_FLOAT_EQ(s.h, c.expected);
  }
  Ref<QELCGroup> column = group({kQELGroupColumn, 2, 2, 1, kQELGroupRounded});
  column->attach(Probe::make({30, 10}));
  column->attach(Probe::make({50, 12}));
  // Content 50 × 24, grown by 3 + 1 + 3 on every side.
  OGLTSize s = column->preferredSize();
  EXPECT_FLOAT_EQ(s.w, 64);
  EXPECT_FLOAT_EQ(s.h, 38);
  EXPECT_FLOAT_EQ(QELCGroup::widgetWithSize({1, 1}, {0, 0}, &kCentered)->preferredSize().w, 1);
}

// Filling the space (0x10) widens uniform sizes only: a group without them measures its
// children, not its own current size, so it can shrink to them.
TEST_F(Groups, PreferredSizesMeasureTheChildrenUnlessSizesAreUniform) {
  struct Case {
    int32_t kind;
    uint32_t flags;
    OGLTSize expected;
  } cases[] = {
      {kQELGroupColumn, kQELGroupFillSpace, {56, 30}},
      {kQELGroupColumn, kQELGroupFillSpace | kQELGroupUniformCross, {100, 30}},
      {kQELGroupRow, kQELGroupFillSpace, {88, 18}},
      {kQELGroupRow, kQELGroupFillSpace | kQELGroupUniformCross, {88, 100}},
      {kQELGroupCentered, kQELGroupFillSpace | kQELGroupUniformMain, {56, 18}},
  };
  for (const Case& c : cases) {
    Ref<QELCGroup> g = group({c.kind, 2, 2, 0, c.flags});
    g->attach(Probe::make({30, 10}));
    g->attach(Probe::make({50, 12}));
    OGLTSize s = g->preferredSize();
    EXPECT_FLOAT_EQ(s.w, c.expected.w) << "kind " << c.kind << " flags " << c.flags;
    EXPECT_FLOAT_EQ(s.h, c.expected.h) << "kind " << c.kind << " flags " << c.flags;
    window->detach(g);
  }
}

TEST_F(Groups, FittingTheParentAndLayingOutOnDemand) {
  Ref<TestView> v = TestView::make({200, 150}, {10, 10}, kQELViewTitleBar);
  window->attach(v);
  QELTGroupSetup fit{kQELGroupColumn, -1, 0, 0, kQELGroupFitParent | kQELGroupOnDemand};
  Ref<QELCGroup> g = QELCGroup::widgetWithSize({1, 1}, {5, 5}, &fit);
  v->attach(g);
  Ref<Probe> a = Probe::make({10, 10}, {50, 50});
  g->attach(a);
  window->frame();
  OGLTRect space = v->space();
  expectFrame(g.get(), {0, 0, space.right - space.left, space.bottom - space.top});
  expectFrame(a.get(), {0, 0, 10, 10});  // placed because the fit marked it
  a->setPosition({40, 40});
  window->frame();
  EXPECT_FLOAT_EQ(a->frame().left, 40);  // on demand only
  g->recomputeLayout();
  window->frame();
  EXPECT_FLOAT_EQ(a->frame().left, 0);
}

TEST_F(Groups, TheSetupTablesHoldTheirValues) {
  struct Case {
    const QELTGroupSetup& table;
    QELTGroupSetup expected;
  } cases[] = {
      {QELKFilePickerBoard, {1, 0, 0, 1, 0x42}},  {QELKFolderPickerBoard, {1, 0, 0, 1, 0x42}},
      {QELKFilePickerDetail, {2, 0, 8, 0, 0x4a}}, {QELKFilePickerSetup, {1, 0, 0, 0, 0x02}},
      {QELKFilePickerFooter, {2, 5, 5, 0, 0x0a}}, {QELKFolderPickerRow, {2, 0, 0, 0, 0x02}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.table.kind, c.expected.kind);
    EXPECT_FLOAT_EQ(c.table.margin, c.expected.margin);
    EXPECT_FLOAT_EQ(c.table.gap, c.expected.gap);
    EXPECT_FLOAT_EQ(c.table.border, c.expected.border);
    EXPECT_EQ(c.table.flags, c.expected.flags);
  }
  EXPECT_EQ(sizeof(QELTGroupSetup), 20u);
}

TEST_F(Groups, ABorderedGroupDrawsItsPanelAndChildrenInItsSpace) {
  Ref<QELCGroup> g = group({kQELGroupColumn, 1, 0, 2, 0}, {60, 60});
  Ref<Probe> child = Probe::make({10, 10});
  child->color = {0, 0, 1, 1};
  g->attach(child);
  window->frame();
  OGLTRect space = g->space();
  EXPECT_FLOAT_EQ(space.left, 4);
  EXPECT_TRUE(near(window->pixel(5, 5), {0, 0, 255, 255}, kComposedTolerance));
  Pixel panel = window->pixel(40, 40);
  EXPECT_GT(panel[3], 200);  // the panel colour at the group's opacity
  EXPECT_TRUE(near(window->pixel(59, 59), {0, 0, 0, 0}, kComposedTolerance));
}

}  // namespace

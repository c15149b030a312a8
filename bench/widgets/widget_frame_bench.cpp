// One frame of the widget window on a headless surface: a tree of views, each with a column
// group of blocks, with the cursor moving over them. Measures the input dispatch, the update
// (hover, layout) and the drawing of the tree; and the layout alone.
#include <benchmark/benchmark.h>

#include <vector>

#include "tests/widgets/QELTestHeadlessWindow.h"
#include "tests/widgets/example/QELExampleScene.h"

namespace {

struct Tree {
  Ref<QELTestHeadlessWindow> window;
  std::vector<Ref<QELCGroup>> columns;
};

Tree makeTree(int views, int blocksPerView) {
  Tree tree;
  tree.window = QELTestHeadlessWindow::make({1280, 800});
  const QELTGroupSetup setup{kQELGroupColumn, 2, 2, 1, kQELGroupUniformCross};
  for (int v = 0; v < views; ++v) {
    Ref<QELCView> view = QELCView::widgetWithSize({200, 40.0f + 22 * blocksPerView},
                                                  {static_cast<float>(20 + (v % 5) * 210), static_cast<float>(20 + (v / 5) * 60)},
                                                  "view", kQELExampleViewFlags);
    Ref<QELCGroup> column = QELCGroup::widgetWithSize({190, 20.0f * blocksPerView}, {0, 0}, &setup);
    for (int b = 0; b < blocksPerView; ++b)
      column->attach(QELExampleBlock::blockWithSize({static_cast<float>(40 + b * 7 % 100), 18}, {0.2f, 0.5f, 0.8f, 1}));
    view->attach(column);
    tree.window->attach(view);
    view->setVisible(true);
    tree.columns.push_back(column);
  }
  return tree;
}

void BM_WidgetFrame(benchmark::State& state) {
  Tree tree = makeTree(static_cast<int>(state.range(0)), 8);
  float x = 0;
  for (auto _ : state) {
    x = x > 1200 ? 0 : x + 7;
    tree.window->cursorEvent({x, 100});
    tree.window->frame();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0) * 9);
}
BENCHMARK(BM_WidgetFrame)->Arg(1)->Arg(10)->Arg(40)->Unit(benchmark::kMicrosecond);

void BM_GroupLayout(benchmark::State& state) {
  Tree tree = makeTree(1, static_cast<int>(state.range(0)));
  QELCGroup* column = tree.columns.front().get();
  for (auto _ : state) QELFGroupLayoutContent(&column->setup(), column);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GroupLayout)->Arg(8)->Arg(64)->Arg(512)->Unit(benchmark::kMicrosecond);

}  // namespace

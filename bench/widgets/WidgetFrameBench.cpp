// Frames of the widget window on a headless surface, 1280 x 800: a tree of views, each with a
// column group of blocks. With the cursor moving over them, every frame drawn whole (as before)
// and drawn only where asked; a view dragged by its title bar across 24 others; an idle frame;
// at pixel ratios 1 and 2. Measures the input dispatch, the update (hover, layout) and the
// drawing of the tree (the harness copies the changed rows as the GL window uploads them); and
// the layout alone.
#include <benchmark/benchmark.h>

#include <vector>

#include "tests/widgets/QELTestHeadlessWindow.h"
#include "tests/widgets/example/QELExampleScene.h"

namespace {

struct Tree {
  Ref<QELTestHeadlessWindow> window;
  std::vector<Ref<QELCGroup>> columns;
};

Tree makeTree(int views, int blocksPerView, bool onRequest = false, float ratio = 1) {
  Tree tree;
  tree.window = QELTestHeadlessWindow::make({1280, 800});
  tree.window->setRedrawsOnRequest(onRequest);
  tree.window->setPixelRatio(ratio);
  const QELTGroupSetup setup{kQELGroupColumn, 2, 2, 1, kQELGroupUniformCross};
  for (int v = 0; v < views; ++v) {
    Ref<QELCView> view = QELCView::widgetWithSize(
        {200, 40.0f + 22 * blocksPerView},
        {static_cast<float>(20 + (v % 5) * 210), static_cast<float>(20 + (v / 5) * 60)}, "view", kQELExampleViewFlags);
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

// The cursor sweeps along y = 100, 7 units a frame.
void sweepCursor(benchmark::State& state, Tree& tree) {
  float x = 0;
  for (auto _ : state) {
    x = x > 1200 ? 0 : x + 7;
    tree.window->cursorEvent({x, 100});
    tree.window->frame();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0) * 9);
}

void BM_WidgetFrame(benchmark::State& state) {
  Tree tree = makeTree(static_cast<int>(state.range(0)), 8);
  sweepCursor(state, tree);
}
BENCHMARK(BM_WidgetFrame)->Arg(1)->Arg(10)->Arg(40)->Unit(benchmark::kMicrosecond);

float ratioOf(const benchmark::State& state) { return static_cast<float>(state.range(1)); }

void BM_WidgetFrameOnRequest(benchmark::State& state) {
  Tree tree = makeTree(static_cast<int>(state.range(0)), 8, true, ratioOf(state));
  tree.window->frame();
  sweepCursor(state, tree);
}
BENCHMARK(BM_WidgetFrameOnRequest)
    ->ArgsProduct({{6, 16, 24, 40}, {1, 2}})
    ->ArgNames({"views", "ratio"})
    ->Unit(benchmark::kMicrosecond);

// The last view is dragged by its title bar, 9 units a frame, back and forth across the others.
void dragAcross(benchmark::State& state, bool onRequest) {
  Tree tree = makeTree(static_cast<int>(state.range(0)) + 1, 8, onRequest, ratioOf(state));
  tree.window->frame();
  OGLTRect start = tree.window->childs().back()->frame();
  float x = start.left + 60, y = start.top + 8, dx = 9;
  tree.window->cursorEvent({x, y}, 1, kOGLActionPress);
  tree.window->frame();
  for (auto _ : state) {
    if (x + dx < 60 || x + dx > 1100) dx = -dx;
    x += dx;
    tree.window->cursorEvent({x, y}, 1, kOGLActionPress);
    tree.window->frame();
  }
}

void BM_WidgetDrag(benchmark::State& state) { dragAcross(state, true); }
BENCHMARK(BM_WidgetDrag)->ArgsProduct({{24}, {1, 2}})->ArgNames({"others", "ratio"})->Unit(benchmark::kMicrosecond);

void BM_WidgetDragDrawnWhole(benchmark::State& state) { dragAcross(state, false); }
BENCHMARK(BM_WidgetDragDrawnWhole)
    ->ArgsProduct({{24}, {1, 2}})
    ->ArgNames({"others", "ratio"})
    ->Unit(benchmark::kMicrosecond);

void BM_WidgetIdle(benchmark::State& state) {
  Tree tree = makeTree(static_cast<int>(state.range(0)), 8, true, ratioOf(state));
  tree.window->cursorEvent({640, 400});
  tree.window->frame();
  tree.window->frame();
  for (auto _ : state) tree.window->frame();
}
BENCHMARK(BM_WidgetIdle)->ArgsProduct({{40}, {1, 2}})->ArgNames({"views", "ratio"})->Unit(benchmark::kMicrosecond);

void BM_GroupLayout(benchmark::State& state) {
  Tree tree = makeTree(1, static_cast<int>(state.range(0)));
  QELCGroup* column = tree.columns.front().get();
  for (auto _ : state) QELFGroupLayoutContent(&column->setup(), column);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GroupLayout)->Arg(8)->Arg(64)->Arg(512)->Unit(benchmark::kMicrosecond);

}  // namespace

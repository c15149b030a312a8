// One 1280 × 800 headless frame of a view holding 200 mixed controls and 20 graphs of 1 024
// samples each, with the cursor moving over them: the whole frame, and the cost per control.
// The budget is 4 ms per frame on one core (a 60 fps workbench with its panels).
#include <benchmark/benchmark.h>

#include <cmath>
#include <functional>
#include <vector>

#include "tests/widgets/QELTestHeadlessWindow.h"
#include "tests/widgets/example/QELExampleScene.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBSegmentedButton.h"
#include "ui/widgets/QELBSpinner.h"
#include "ui/widgets/QELBSymbol.h"
#include "ui/widgets/QELBTicker.h"
#include "ui/widgets/QELBToggle.h"

namespace {

constexpr OGLTSize kCell = {120, 28};

Ref<QELBWidget> makeControl(int kind, OGLTPoint at) {
  switch (kind % 10) {
    case 0:
      return QELCCheckbox::widgetWithSize(kCell, at, "check");
    case 1:
      return QELCRadiobox::widgetWithSize(kCell, at, "radio");
    case 2:
      return QELCButton::widgetWithSize(kCell, at, "button");
    case 3:
      return QELCToggle::widgetWithSize(kCell, at, "on", "off");
    case 4:
      return QELCSegmentedButton::widgetWithSize(kCell, at, {"a", "b", "c"});
    case 5:
      return QELCSlider::widgetWithSize(kCell, at, 0.3f);
    case 6:
      return QELCLabel::widgetWithSize(kCell, at, 0x11, "label");
    case 7:
      return QELCTicker::widgetWithSize(kCell, at, 0x11, {"tick", "tock"});
    case 8:
      return QELCSpinner::widgetWithSize({28, 28}, at, 0.5f);
    default:
      return QELCSymbol::widgetWithSize({28, 28}, at, nullptr, 0xE800u);
  }
}

struct Panel {
  Ref<QELTestHeadlessWindow> window;
  Ref<QELCView> view;
};

Panel makePanel(int controls, int graphs) {
  Panel panel{QELTestHeadlessWindow::make({1280, 800}), nullptr};
  panel.view = QELCView::widgetWithSize({1280, 800}, {0, 0}, "panel", kQELViewTitleBar);
  for (int i = 0; i < controls; ++i)
    panel.view->attach(makeControl(i, {static_cast<float>(4 + (i % 10) * 126), static_cast<float>(4 + (i / 10) * 30)}));
  const QELTGraphSetup setup{1, {0.2f, 0.6f, 1, 0.8f}, 1024, 0, 0.05f, true, false};
  for (int g = 0; g < graphs; ++g) {
    Ref<QELCGraph> graph = QELCGraph::widgetWithSize(
        {240, 60}, {static_cast<float>(4 + (g % 5) * 252), static_cast<float>(610 + (g / 5) * 44)}, &setup, "frame");
    for (int s = 0; s < 1024; ++s) graph->sync(0.016f + 0.01f * std::sin(s / 30.0f));
    panel.view->attach(graph);
  }
  panel.window->attach(panel.view);
  panel.view->setVisible(true);
  return panel;
}

void runFrames(benchmark::State& state, Panel& panel, int items) {
  float x = 0;
  for (auto _ : state) {
    x = x > 1260 ? 0 : x + 13;
    panel.window->cursorEvent({x, 200});
    panel.window->frame();
  }
  state.SetItemsProcessed(state.iterations() * items);
}

// The panel: 200 controls and 20 graphs of 1 024 samples.
void BM_ControlPanelFrame(benchmark::State& state) {
  Panel panel = makePanel(200, 20);
  runFrames(state, panel, 220);
}
BENCHMARK(BM_ControlPanelFrame)->Unit(benchmark::kMillisecond);

// The same window empty, and with only one family: what each part of the frame costs.
void BM_ControlsOnly(benchmark::State& state) {
  Panel panel = makePanel(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  runFrames(state, panel, static_cast<int>(state.range(0) + state.range(1)));
}
BENCHMARK(BM_ControlsOnly)->Args({0, 0})->Args({200, 0})->Args({0, 20})->Unit(benchmark::kMillisecond);

}  // namespace

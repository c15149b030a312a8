// The chunk viewer showing one expression of about 10 000 nodes (a func of 10 funcs of 10 funcs
// of 10 funcs of 9 numbers: 10 111 nodes) on a 640 x 480 view in a headless window, one whole
// frame per iteration (input, update, drawing):
//  - Still: nothing changes (the reference: what drawing the laid-out tree costs).
//  - Zoom: each frame one wheel step in or out, so the tree is laid out again at the new scale.
//  - Pan: each frame the held left button moves 4 pixels further (the content follows).
// Target: under 8 ms a frame.
#include <benchmark/benchmark.h>

#include <string>

#include "app/ctm/VSKCGistView.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCSquib.h"
#include "tests/widgets/QELTestHeadlessWindow.h"

namespace {

std::string treeText(int depth) {
  if (depth == 3) {
    std::string leaves = "n(";
    for (int i = 0; i < 9; ++i) leaves += (i ? ", " : "") + std::to_string(i);
    return leaves + ")";
  }
  std::string text = "f" + std::to_string(depth) + "(";
  for (int i = 0; i < 10; ++i) text += (i ? ", " : "") + treeText(depth + 1);
  return text + ")";
}

struct Scene {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({800, 600});
  Ref<VSKCGistView> view = VSKCGistView::viewWithSize({640, 480}, {10, 10}, "ui.gist", {"ctm.tick"}, nullptr);

  Scene() {
    view->setVisible(true);
    (void)window->attach(view);
    const std::string chunk = "[sender, 1, u1, tweet, " + treeText(0) + ", 1.0, 0.5, 0.25]";
    Ref<MRKBTerm> statement = MRKCReader::reader()->readTermFromString("<ctm.tick [1, [" + chunk + "], {}] 1.0>");
    Ref<MRKCSquib> squib = MRKCSquib::squibWithLabel("ctm.tick", statement->asStatement(), 5.0f);
    view->onMessaged(LLKCMessage::messageWithCode(LLKTMessageCode{kVSKViewerSquib, 1, 0}, squib));
    window->frame();
    window->frame();
  }
  ~Scene() { window->close(); }
  OGLTPoint middle() const { return view->surface()->localToWorld({300, 200}); }
};

void BM_ViewerStill(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) scene.window->frame();
}

void BM_ViewerZoom(benchmark::State& state) {
  Scene scene;
  float direction = -1;
  for (auto _ : state) {
    scene.window->cursorEvent(scene.middle());
    scene.window->scroll({0, direction});
    scene.window->frame();
    direction = -direction;
  }
}

void BM_ViewerPan(benchmark::State& state) {
  Scene scene;
  const OGLTPoint start = scene.middle();
  scene.window->cursorEvent(start, 1, kOGLActionPress);
  scene.window->frame();
  float dx = 0;
  for (auto _ : state) {
    dx = dx > 200 ? -200 : dx + 4;
    scene.window->cursorEvent({start.x + dx, start.y}, 1, kOGLActionPress);
    scene.window->frame();
  }
  scene.window->cursorEvent(start, 1, kOGLActionRelease);
  scene.window->frame();
}

BENCHMARK(BM_ViewerStill)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_ViewerZoom)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_ViewerPan)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace

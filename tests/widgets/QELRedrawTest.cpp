// Partial redrawing: a window that redraws only what was asked shows, frame after frame, the
// same pixels as one that draws everything; and it does skip what did not change.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/widgets/QELSamePixels.h"
#include "tests/widgets/QELTestHeadlessWindow.h"
#include "tests/widgets/QELTestWidgets.h"

namespace {

constexpr uint32_t kFlags =
    kQELViewTitleBar | kQELViewStatusBar | kQELViewCloseButton | kQELViewRollButton | kQELViewDraggable;

// Overlapping views with coloured probes, in a window.
struct Scene {
  Ref<QELTestHeadlessWindow> window;
  std::vector<Ref<TestView>> views;
  std::vector<Ref<Probe>> probes;

  Scene(bool onRequest, float ratio) {
    window = QELTestHeadlessWindow::make({320, 240});
    window->setPixelRatio(ratio);
    window->setRedrawsOnRequest(onRequest);
    const OGLTRect frames[] = {{10, 10, 130, 110}, {90, 60, 210, 170}, {180, 20, 300, 130}, {40, 140, 160, 230}};
    for (int i = 0; i < 4; ++i) {
      const OGLTRect& f = frames[i];
      Ref<TestView> view =
          TestView::make({f.right - f.left, f.bottom - f.top}, {f.left, f.top}, kFlags, "view " + std::to_string(i));
      Ref<Probe> probe = Probe::make({50, 30}, {10, 10});
      probe->color = {0.2f * static_cast<float>(i), 0.5f, 1 - 0.2f * static_cast<float>(i), 0.7f};
      view->attach(probe);
      view->setStatus("status");
      window->attach(view);
      views.push_back(view);
      probes.push_back(probe);
    }
    window->frame();
  }
};

void expectSamePixels(const Scene& partial, const Scene& full, const std::string& step) {
  // Beyond the surface at ratio 1: zeros on both sides.
  expectSamePixels(*partial.window, *full.window, 320 * 2, 240 * 2, step);
}

TEST(PartialRedraw, EveryFrameShowsThePixelsOfAFullRedraw) {
  struct Step {
    const char* name;
    std::function<void(Scene&)> apply;
  } steps[] = {
      {"cursor over a view",
       [](Scene& s) {
         s.window->moveTo({100, 80});
       }},
      {"cursor to another view",
       [](Scene& s) {
         s.window->moveTo({250, 100});
       }},
      {"idle", [](Scene& s) { s.window->frame(); }},
      {"view dragged across the others",
       [](Scene& s) {
         s.window->drag({70, 20}, {200, 120}, 6);
       }},
      {"title changed",
       [](Scene& s) {
         s.views[2]->setTitle("renamed");
         s.window->frame();
       }},
      {"probe hidden",
       [](Scene& s) {
         s.probes[1]->setVisible(false);
         s.window->frame();
       }},
      {"probe moved",
       [](Scene& s) {
         s.probes[3]->setPosition({40, 20});
         s.window->frame();
       }},
      {"view dragged partly out of the window",
       [](Scene& s) {
         s.window->drag({240, 30}, {300, 10}, 3);
       }},
      {"view raised by a click",
       [](Scene& s) {
         s.window->click({100, 150});
       }},
      {"view hidden",
       [](Scene& s) {
         s.views[0]->setVisible(false);
         s.window->frame();
       }},
      {"view rolled up",
       [](Scene& s) {
         s.views[1]->rollup();
         for (int i = 0; i < 12; ++i) s.window->frame(0.1f);
       }},
  };
  for (float ratio : {1.0f, 2.0f}) {
    Scene partial(true, ratio), full(false, ratio);
    for (const Step& step : steps) {
      step.apply(partial);
      step.apply(full);
      expectSamePixels(partial, full, std::string(step.name) + " at ratio " + std::to_string(ratio));
    }
  }
}

TEST(PartialRedraw, OnlyWhatChangedIsDrawnAgain) {
  Scene scene(true, 1);
  scene.window->moveTo({5, 235});  // over no view
  auto renders = [&] {
    std::vector<size_t> counts;
    for (const Ref<Probe>& probe : scene.probes) counts.push_back(probe->renders.size());
    return counts;
  };
  std::vector<size_t> before = renders();
  scene.window->frame();
  EXPECT_EQ(renders(), before) << "an idle frame draws nothing";
  scene.window->moveTo({250, 100});  // reaches view 2 only
  std::vector<size_t> after = renders();
  EXPECT_EQ(after[0], before[0]);
  EXPECT_EQ(after[2], before[2] + 1);
  EXPECT_EQ(after[3], before[3]);
  scene.probes[3]->redraw();
  scene.window->frame();
  EXPECT_EQ(renders()[3], after[3] + 1) << "a widget's redraw() draws it again";
  EXPECT_EQ(renders()[0], after[0]);
}

}  // namespace

// The vision views' settings panels, shown in a headless window: every control lies whole inside
// its panel, where the panel draws it.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/vision/VSKCLabelingView.h"
#include "app/vision/VSKCSegmentedView.h"
#include "framework/core/JSKCReader.h"
#include "tests/widgets/QELSamePixels.h"
#include "tests/widgets/QELTestHeadlessWindow.h"
#include "ui/widgets/QELBApplication.h"
#include "ui/widgets/QELBPanel.h"

namespace {

// Every widget under the parent whose frame, in window coordinates, is not inside the rect.
void collectOutside(QELBParent& parent, const OGLTRect& inside, std::string* out) {
  for (const Ref<QELBWidget>& child : parent.childs()) {
    OGLTPoint a = child->localToWorld({0, 0}), b = child->localToWorld({child->size().w, child->size().h});
    if (a.x < inside.left || a.y < inside.top || b.x > inside.right || b.y > inside.bottom)
      *out += " '" + child->alias() + "' (" + std::to_string(a.x) + ", " + std::to_string(a.y) + ", " +
              std::to_string(b.x) + ", " + std::to_string(b.y) + ")";
    if (auto* inner = dynamic_cast<QELBParent*>(child.get())) collectOutside(*inner, inside, out);
  }
}

struct PanelCase {
  const char* name;
  std::function<Ref<QELBView>()> make;
  std::function<QELBPanel*(QELBView*)> panel;
};

// The two vision views with a settings panel.
std::vector<PanelCase> panelCases() {
  return {
      {"segmented feed",
       [] {
         return Ref<QELBView>(VSKCSegmentedView::viewWithSize({0, 0}, {0, 0}, "ui.qav.seg.fovl", "qav.stream.fovl.seg",
                                                              "qav.proc.fovl", 320, nullptr));
       },
       [](QELBView* view) { return static_cast<VSKCSegmentedView*>(view)->state().panel.get(); }},
      {"labelling",
       [] {
         return Ref<QELBView>(VSKCLabelingView::viewWithSize({0, 0}, {0, 0}, "ui.qav.labeling.fovl",
                                                             "qav.stream.fovl.seg", 320,
                                                             JSKCReader::reader()->readFromString("{}")));
       },
       [](QELBView* view) { return static_cast<VSKCLabelingView*>(view)->state().panel.get(); }},
  };
}

// Shows the view's settings panel and waits until it has slid in.
void showPanel(QELTestHeadlessWindow& window, QELBPanel& panel) {
  panel.request();
  window.frame();
  for (int i = 0; i < 60 && panel.state() != kQELPanelIdle; ++i) window.frame();
}

TEST(SettingsPanels, EveryControlLiesWholeInsideItsPanel) {
  Ref<QELCApplication> application = QELCApplication::applicationWithName("panels-test", 0, nullptr);
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({800, 600});
  ASSERT_TRUE(application && window);
  for (const PanelCase& c : panelCases()) {
    Ref<QELBView> view = c.make();
    ASSERT_TRUE(view) << c.name;
    view->setVisible(true);
    ASSERT_TRUE(window->attach(view));
    QELBPanel* panel = c.panel(view.get());
    showPanel(*window, *panel);
    ASSERT_TRUE(panel->state() == kQELPanelIdle && panel->visible()) << c.name << " panel not shown";
    // The panel draws its children clipped to its bounds shrunk by 2.
    OGLTPoint a = panel->localToWorld({2, 2}), b = panel->localToWorld({panel->size().w - 2, panel->size().h - 2});
    std::string outside;
    collectOutside(*panel, {a.x, a.y, b.x, b.y}, &outside);
    EXPECT_EQ(outside, "") << c.name << " panel (" << a.x << ", " << a.y << ", " << b.x << ", " << b.y << ")";
    (void)window->detach(view);
  }
}

// The window's pixels, row after row.
std::vector<std::array<uint8_t, 4>> pixelsOf(const QELTestHeadlessWindow& window, OGLTSize size) {
  std::vector<std::array<uint8_t, 4>> pixels;
  for (int y = 0; y < static_cast<int>(size.h); ++y)
    for (int x = 0; x < static_cast<int>(size.w); ++x) pixels.push_back(window.pixel(x, y));
  return pixels;
}

// Rolled up with its settings panel showing, a view is its bars alone: nothing of the panel is
// drawn, neither in its bars nor where its body was. Unrolled, it is the view it was, to the
// pixel, panel included. The window redraws only what changed, as the workbench's does, and
// shows what a window drawing everything shows.
TEST(SettingsPanels, RollingUpAndDownWithThePanelShowingGivesTheViewBackAsItWas) {
  Ref<QELCApplication> application = QELCApplication::applicationWithName("panels-test", 0, nullptr);
  ASSERT_TRUE(application);
  const OGLTSize size = {800, 600};
  for (const PanelCase& c : panelCases()) {
    SCOPED_TRACE(c.name);
    // The same view in a window that redraws what changed and in one that draws everything.
    struct Scene {
      Ref<QELTestHeadlessWindow> window;
      Ref<QELBView> view;
    } partial, full;
    for (Scene* scene : {&partial, &full}) {
      scene->window = QELTestHeadlessWindow::make(size);
      ASSERT_TRUE(scene->window);
      scene->window->setRedrawsOnRequest(scene == &partial);
      scene->view = c.make();
      ASSERT_TRUE(scene->view);
      scene->view->setPosition({40, 30});
      scene->view->setVisible(true);
      ASSERT_TRUE(scene->window->attach(scene->view));
      scene->window->frame();
      QELBPanel* panel = c.panel(scene->view.get());
      showPanel(*scene->window, *panel);
      ASSERT_TRUE(panel->state() == kQELPanelIdle && panel->visible()) << "panel not shown";
    }
    auto until = [&](uint32_t state) {
      for (int i = 0; i < 120 && partial.view->rollState() != state; ++i)
        for (Scene* scene : {&partial, &full}) scene->window->frame();
      for (Scene* scene : {&partial, &full}) scene->window->frame();
      return partial.view->rollState() == state && full.view->rollState() == state;
    };
    const OGLTRect open = partial.view->frame();
    const std::vector<std::array<uint8_t, 4>> before = pixelsOf(*partial.window, size);

    for (Scene* scene : {&partial, &full}) scene->view->rollup();
    ASSERT_TRUE(until(kQELRollRolledUp));
    const OGLTRect rolled = partial.view->frame();
    EXPECT_EQ(rolled.top, open.top);
    EXPECT_EQ(rolled.bottom - rolled.top, 42);
    int drawnBelow = 0;
    for (int y = static_cast<int>(rolled.bottom) + 1; y < static_cast<int>(open.bottom); ++y)
      for (int x = static_cast<int>(open.left); x < static_cast<int>(open.right); ++x)
        if (partial.window->pixel(x, y)[3] != 0) ++drawnBelow;
    EXPECT_EQ(drawnBelow, 0) << "pixels drawn below the rolled bar, which ends at " << rolled.bottom;
    expectSamePixels(*partial.window, *full.window, static_cast<int>(size.w), static_cast<int>(size.h), "rolled up");

    for (Scene* scene : {&partial, &full}) scene->view->unroll();
    ASSERT_TRUE(until(kQELRollOpen));
    const OGLTRect back = partial.view->frame();
    EXPECT_EQ(back.left, open.left);
    EXPECT_EQ(back.top, open.top);
    EXPECT_EQ(back.right, open.right);
    EXPECT_EQ(back.bottom, open.bottom);
    const std::vector<std::array<uint8_t, 4>> after = pixelsOf(*partial.window, size);
    size_t differ = 0;
    for (size_t i = 0; i < before.size(); ++i)
      if (before[i] != after[i]) ++differ;
    EXPECT_EQ(differ, 0u) << "pixels differ from the view before it rolled up";
    expectSamePixels(*partial.window, *full.window, static_cast<int>(size.w), static_cast<int>(size.h), "unrolled");
    for (Scene* scene : {&partial, &full}) (void)scene->window->detach(scene->view);
  }
}

}  // namespace

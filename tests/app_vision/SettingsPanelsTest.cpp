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
// drawn where its body was. Unrolled, it is the view it was, to the pixel, panel included; the
// window redraws only what changed, as the workbench's does.
TEST(SettingsPanels, RollingUpAndDownWithThePanelShowingGivesTheViewBackAsItWas) {
  Ref<QELCApplication> application = QELCApplication::applicationWithName("panels-test", 0, nullptr);
  const OGLTSize size = {800, 600};
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make(size);
  ASSERT_TRUE(application && window);
  window->setRedrawsOnRequest(true);
  for (const PanelCase& c : panelCases()) {
    SCOPED_TRACE(c.name);
    Ref<QELBView> view = c.make();
    ASSERT_TRUE(view);
    view->setPosition({40, 30});
    view->setVisible(true);
    ASSERT_TRUE(window->attach(view));
    window->frame();
    QELBPanel* panel = c.panel(view.get());
    showPanel(*window, *panel);
    ASSERT_TRUE(panel->state() == kQELPanelIdle && panel->visible()) << "panel not shown";
    const OGLTRect open = view->frame();
    const std::vector<std::array<uint8_t, 4>> before = pixelsOf(*window, size);

    view->rollup();
    for (int i = 0; i < 120 && view->rollState() != kQELRollRolledUp; ++i) window->frame();
    ASSERT_EQ(view->rollState(), kQELRollRolledUp);
    window->frame();
    const OGLTRect rolled = view->frame();
    EXPECT_EQ(rolled.top, open.top);
    int drawnBelow = 0;
    for (int y = static_cast<int>(rolled.bottom) + 1; y < static_cast<int>(open.bottom); ++y)
      for (int x = static_cast<int>(open.left); x < static_cast<int>(open.right); ++x)
        if (window->pixel(x, y)[3] != 0) ++drawnBelow;
    EXPECT_EQ(drawnBelow, 0) << "pixels drawn below the rolled bar, which ends at " << rolled.bottom;

    view->unroll();
    for (int i = 0; i < 120 && view->rollState() != kQELRollOpen; ++i) window->frame();
    ASSERT_EQ(view->rollState(), kQELRollOpen);
    window->frame();
    const OGLTRect back = view->frame();
    EXPECT_EQ(back.left, open.left);
    EXPECT_EQ(back.top, open.top);
    EXPECT_EQ(back.right, open.right);
    EXPECT_EQ(back.bottom, open.bottom);
    const std::vector<std::array<uint8_t, 4>> after = pixelsOf(*window, size);
    size_t differ = 0;
    for (size_t i = 0; i < before.size(); ++i)
      if (before[i] != after[i]) ++differ;
    EXPECT_EQ(differ, 0u) << "pixels differ from the view before it rolled up";
    (void)window->detach(view);
    window->frame();
  }
}

}  // namespace

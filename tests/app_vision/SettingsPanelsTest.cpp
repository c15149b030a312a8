// The vision views' settings panels, shown in a headless window: every control lies whole inside
// its panel, where the panel draws it.
#include <gtest/gtest.h>

#include <functional>
#include <string>

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

TEST(SettingsPanels, EveryControlLiesWholeInsideItsPanel) {
  Ref<QELCApplication> application = QELCApplication::applicationWithName("panels-test", 0, nullptr);
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({800, 600});
  ASSERT_TRUE(application && window);
  struct Case {
    const char* name;
    std::function<Ref<QELBView>()> make;
    std::function<QELBPanel*(QELBView*)> panel;
  } cases[] = {
      {"segmented feed",
       [] {
         return Ref<QELBView>(VSKCSegmentedView::viewWithSize({0, 0}, {0, 0}, "ui.qav.seg.fovl",
                                                              "qav.stream.fovl.seg", "qav.proc.fovl", 320, nullptr));
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
  for (const Case& c : cases) {
    Ref<QELBView> view = c.make();
    ASSERT_TRUE(view) << c.name;
    view->setVisible(true);
    ASSERT_TRUE(window->attach(view));
    QELBPanel* panel = c.panel(view.get());
    panel->request();
    window->frame();
    for (int i = 0; i < 60 && panel->state() != kQELPanelIdle; ++i) window->frame();
    ASSERT_TRUE(panel->state() == kQELPanelIdle && panel->visible()) << c.name << " panel not shown";
    // The panel draws its children clipped to its bounds shrunk by 2.
    OGLTPoint a = panel->localToWorld({2, 2}), b = panel->localToWorld({panel->size().w - 2, panel->size().h - 2});
    std::string outside;
    collectOutside(*panel, {a.x, a.y, b.x, b.y}, &outside);
    EXPECT_EQ(outside, "") << c.name << " panel (" << a.x << ", " << a.y << ", " << b.x << ", " << b.y << ")";
    (void)window->detach(view);
  }
}

}  // namespace

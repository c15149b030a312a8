// A workbench view takes its geometry from its settings frame and gives its position, size and
// visibility back when it leaves the window: closed by the user or with the window.
#include <gtest/gtest.h>

#include "framework/app/ZRVBView.h"
#include "tests/app/RecordingWindow.h"
#include "ui/gl/OGLFValueCoding.h"

namespace {

class TestView : public ZRVBView {
public:
  static Ref<TestView> make(Ref<JSKCFrame> config) { return makeRef<TestView>(std::move(config)); }
  explicit TestView(Ref<JSKCFrame> config)
      : ZRVBView({200, 100}, {10, 20}, "test", kQELViewTitleBar | kQELViewDetachOnClose, std::move(config)) {}
};

TEST(WorkbenchView, TakesItsGeometryFromTheSettingsAndGivesItBackWhenItLeaves) {
  struct Case {
    const char* how;
    bool closedByUser;
  };
  for (const Case& c : {Case{"the window closes", false}, Case{"the user closes it", true}}) {
    SCOPED_TRACE(c.how);
    Ref<RecordingWindow> window = RecordingWindow::make();
    ASSERT_TRUE(window);
    Ref<JSKCFrame> config = JSKCFrame::frame();
    (void)OGL::storePoint(*config, {30, 40}, "position");
    Ref<TestView> view = TestView::make(config);
    EXPECT_EQ(view->position().x, 30);
    EXPECT_EQ(view->size().w, 200);
    ASSERT_TRUE(window->attach(Ref<QELBWidget>(view)));
    view->setVisible(true);
    view->setPosition({50, 60});
    if (c.closedByUser) {
      view->close();
      ASSERT_TRUE(window->pumpUntil([&] {
        window->frame();
        return view->window() == nullptr;
      }));
    } else {
      window->close();
    }
    EXPECT_EQ(OGL::pointForLabel(*config, "position", {0, 0}).x, 50);
    EXPECT_EQ(OGL::sizeForLabel(*config, "size", {0, 0}).h, 100);
    EXPECT_EQ(config->boolForLabel("visible", !c.closedByUser), !c.closedByUser);
  }
}

TEST(WorkbenchView, WithoutSettingsItKeepsAFrameOfItsOwn) {
  Ref<TestView> view = TestView::make(nullptr);
  ASSERT_TRUE(view->config());
  EXPECT_EQ(view->position().x, 10);
  view->wring();
  EXPECT_EQ(OGL::pointForLabel(*view->config(), "position", {0, 0}).y, 20);
}

}  // namespace

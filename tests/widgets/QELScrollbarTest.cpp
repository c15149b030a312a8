// The scroll bar: where a press puts the handle, the drag that holds the greedy widget, the
// handle kept inside its track and what it sends.
#include <gtest/gtest.h>

#include "tests/widgets/QELControlTestKit.h"
#include "ui/widgets/QELBScrollbar.h"

namespace {

class Scrollbars : public ControlTest {
protected:
  Ref<QELCScrollbar> bar(OGLTSize size = {200, 20}, float handle = 0.5f) {
    Ref<QELCScrollbar> b = QELCScrollbar::widgetWithSize(size, {50, 50});
    b->setHandle(handle);
    b->setOnChange(LLKCMessage::messageWithCode(7));
    return place(b);
  }
};

TEST_F(Scrollbars, APressPutsTheHandleCentreWithinHalfAHandleOfTheEnds) {
  struct Case {
    float x, expected;
  } cases[] = {{53, 0.25f}, {246, 0.75f}, {150, 0.5f}, {103, 0.25f}};
  for (const Case& c : cases) {
    Ref<QELCScrollbar> b = bar();
    catcher->messages.clear();
    window->click({c.x, 60});
    ASSERT_FALSE(catcher->messages.empty()) << c.x;
    EXPECT_NEAR(b->scroll(), c.expected, 1e-5) << c.x;
    EXPECT_NEAR(catcher->last().realForKey("scroll", -1), c.expected, 1e-5) << c.x;
    EXPECT_EQ(catcher->last().objectForKey("sender").get(), b.get());
    catcher->detach(b);
  }
}

TEST_F(Scrollbars, ADragThatLeavesTheBarKeepsScrollingUntilTheRelease) {
  Ref<QELCScrollbar> b = bar({20, 200}, 0.2f);
  window->cursorEvent({60, 60}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  EXPECT_EQ(window->greedy(), b.get());
  window->cursorEvent({300, 200}, kOGLButtonLeft, kOGLActionPress);  // far right of the bar, still dragging
  window->frame();
  EXPECT_NEAR(b->scroll(), (200 - 53) / 194.0f, 1e-4);
  window->cursorEvent({300, 200}, kOGLButtonLeft, kOGLActionRelease);
  window->frame();
  EXPECT_EQ(window->greedy(), nullptr);
  size_t sent = catcher->messages.size();
  window->cursorEvent({300, 100}, kOGLButtonLeft, kOGLActionPress);  // outside and no longer dragging
  window->frame();
  EXPECT_EQ(catcher->messages.size(), sent);
}

TEST_F(Scrollbars, SettersClampAndSendNothingTriggerSends) {
  Ref<QELCScrollbar> b = bar();
  struct Case {
    float set, expected;
  } cases[] = {{-1, 0}, {2, 1}, {NAN, 0}, {0.3f, 0.3f}};
  for (const Case& c : cases) {
    b->setScroll(c.set);
    b->setHandle(c.set);
    EXPECT_FLOAT_EQ(b->scroll(), c.expected);
    EXPECT_FLOAT_EQ(b->handle(), c.expected);
  }
  EXPECT_TRUE(catcher->messages.empty());
  EXPECT_TRUE(b->trigger());
  EXPECT_NEAR(catcher->last().realForKey("scroll"), 0.3, 1e-6);
  b->setOnChange(nullptr);
  EXPECT_FALSE(b->trigger());
}

TEST_F(Scrollbars, TheHandleStaysInsideItsTrack) {
  Ref<QELCScrollbar> b = bar({200, 20}, 0.5f);
  for (float scroll : {0.0f, 1.0f}) {
    b->setScroll(scroll);
    OGLTRect h = b->handleRect(), a = b->handleArea();
    EXPECT_GE(h.left, a.left);
    EXPECT_LE(h.right, a.right);
    EXPECT_NEAR(h.right - h.left, 97, 1e-4);
  }
}

TEST_F(Scrollbars, ItDrawsTheHandleBrightWhileActive) {
  Ref<QELCScrollbar> b = bar({200, 20}, 0.5f);
  b->setScroll(0.5f);
  window->frame();
  auto idle = window->pixel(150, 60);
  window->moveTo({150, 60});
  auto active = window->pixel(150, 60);
  EXPECT_GT(idle[3], 0);
  EXPECT_GT(active[3], idle[3]);           // bright is opaque, text colour is not
  EXPECT_EQ(window->pixel(60, 60)[3], 0);  // outside the handle, inside the outline
}

TEST(ScrollbarNotify, SendsFromAnyWidgetAndRefusesNull) {
  QELTScrollbarRecord record{0.4f, 0.1f, nullptr};
  EXPECT_FALSE(QELFScrollbarNotify(&record, nullptr));
  EXPECT_FALSE(QELFScrollbarNotify(nullptr, nullptr));
}

}  // namespace

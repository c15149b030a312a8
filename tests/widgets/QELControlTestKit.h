#pragma once
// A fixture for control tests: a headless window with a parent that keeps every message that
// climbs to it, so tests read the details a control sent.
#include <gtest/gtest.h>

#include <vector>

#include "tests/widgets/QELTestHeadlessWindow.h"
#include "ui/widgets/QELBParent.h"
#include "ui/widgets/QELFWidgetDrawing.h"

class Catcher : public QELBParent {
public:
  static Ref<Catcher> make(OGLTSize size) { return makeRef<Catcher>(size, OGLTPoint{0, 0}); }
  Catcher(OGLTSize size, OGLTPoint position) : QELBParent(size, position) {}
  void onMessaged(const Ref<LLKCMessage>& m) override { messages.push_back(m); }
  void onRenderWithStep(float step) override {
    if (OGLC2DContext* ctx = window() ? window()->context() : nullptr) QELFWidgetRenderChildren(ctx, childs(), step);
  }
  // The last message's details (an empty store when none came).
  const LLKCDictionary& last() const { return messages.empty() ? empty->details() : messages.back()->details(); }

  std::vector<Ref<LLKCMessage>> messages;
  Ref<LLKCMessage> empty = LLKCMessage::messageWithCode(0);
};

class ControlTest : public ::testing::Test {
protected:
  void SetUp() override {
    window = QELTestHeadlessWindow::make({400, 300});
    ASSERT_TRUE(window);
    catcher = Catcher::make({400, 300});
    ASSERT_TRUE(window->attach(catcher));
  }
  // Attaches the control to the catcher and lets one frame pass.
  template <typename T>
  Ref<T> place(Ref<T> control) {
    EXPECT_TRUE(control && catcher->attach(control));
    window->frame();
    return control;
  }

  Ref<QELTestHeadlessWindow> window;
  Ref<Catcher> catcher;
};

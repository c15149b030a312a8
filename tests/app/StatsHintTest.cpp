// The statistics view's hints: one at a time, replaced by the next graph entered, removed only by
// the leave of the graph that made it.
#include <gtest/gtest.h>

#include "app/shell/VSKCWindow.h"
#include "app/shell/VSKFWindowCodes.h"
#include "ui/widgets/QELBGraph.h"

namespace {

TEST(StatsHint, OneHintFollowsTheGraphsEnteredAndLeavesWithItsOwnGraph) {
  Ref<VSKCWindow> window = VSKCWindow::window();
  ASSERT_TRUE(window);
  const QELTGraphSetup setup = {3, {0, 0, 1, 1}, 10, 0, 1, false, true};
  std::vector<Ref<QELCGraph>> graphs;
  for (int i = 0; i < 3; ++i) {
    graphs.push_back(QELCGraph::widgetWithSize({160, 40}, {10, 10 + 50.0f * i}, &setup, "G"));
    ASSERT_TRUE(window->attach(Ref<QELBWidget>(graphs.back())));
  }
  auto hover = [&](uint32_t tag, uint32_t n) {
    Ref<LLKCMessage> message = LLKCMessage::messageWithCode({kVSKGraphHover, tag, n});
    if (n >= 1 && n <= graphs.size()) (void)message->details().storeObject(graphs[n - 1], "sender");
    EXPECT_TRUE(window->onMessaged(message));
  };
  struct Step {
    uint32_t tag, n;
    const char* shown;  // the hint's text afterwards, "" for none
  };
  const Step steps[] = {
      {kVSKGraphEnter, 1, "Submitted chunks"},   {kVSKGraphEnter, 2, "Broadcasted chunks"},
      {kVSKGraphLeave, 1, "Broadcasted chunks"}, {kVSKGraphLeave, 2, ""},
      {kVSKGraphEnter, 3, "Unconscious chunks"}, {kVSKGraphEnter, 4, ""},
      {kVSKGraphEnter, 3, "Unconscious chunks"}, {kVSKGraphLeave, 3, ""},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(step.tag) + " " + std::to_string(step.n));
    hover(step.tag, step.n);
    const Ref<ZRVCHint>& hint = window->hint();
    EXPECT_EQ(hint ? hint->text() : std::string(), step.shown);
    size_t hints = 0;
    for (const Ref<QELBWidget>& child : window->_childs()->members())
      hints += dynamic_cast<ZRVCHint*>(child.get()) != nullptr;
    EXPECT_EQ(hints, hint ? 1u : 0u);
    if (hint && step.tag == kVSKGraphEnter) {
      EXPECT_EQ(hint->tag(), step.n);
    }
  }
}

}  // namespace

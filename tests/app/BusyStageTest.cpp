// A busy stage (3 000 tweeting actors on a 20 ms tick) with the timeline, the chunk viewer and
// the conversation view open in a headless window that turns at 30 frames a second: whatever
// the stage sends, the views leave at most one task each on the window's queue, their observers
// keep no more than their backlog, and the views still show the newest ticks.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/ctm/VSKCConversationView.h"
#include "app/ctm/VSKCGistView.h"
#include "app/ctm/VSKCTimelineView.h"
#include "tests/app/BusyStage.h"
#include "tests/widgets/QELTestHeadlessWindow.h"

namespace {

TEST(BusyStage, TheViewsLeaveTheWindowBoundedWorkAndFollowTheNewestTicks) {
  MRKCSubstrate::shared()->setConfigs({6.0f, 100});
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({1280, 960});
  ASSERT_TRUE(window);
  Ref<VSKCTimelineView> timeline =
      VSKCTimelineView::viewWithSize({640, 480}, {0, 0}, "ui.timeline", "ctm.tick", nullptr);
  Ref<VSKCGistView> gist = VSKCGistView::viewWithSize({640, 480}, {640, 0}, "ui.gist", {"ctm.tick"}, nullptr);
  Ref<VSKCConversationView> conversation =
      VSKCConversationView::viewWithSize({640, 480}, {0, 480}, "ui.conversation", nullptr);
  ASSERT_TRUE(timeline && gist && conversation);
  const std::vector<ZRVCObserver*> observers = {timeline->observer(), gist->observer(),
                                                conversation->record().observer.get()};
  for (QELBWidget* view : std::initializer_list<QELBWidget*>{timeline.get(), gist.get(), conversation.get()}) {
    view->setVisible(true);
    ASSERT_TRUE(window->attach(Ref<QELBWidget>(view)));
  }
  {
    BusyStage stage(3000, 20);
    ASSERT_TRUE(stage.made());
    // A second and a half of turns as the window's loop makes them: the work queued since the
    // last turn, then a frame. What waits when a turn begins is what the views left behind.
    size_t most = 0;
    for (int turn = 0; turn < 45; ++turn) {
      most = std::max(most, window->pending());
      EXPECT_LE(timeline->observer()->waiting(), kZRVObserverTickBacklog);
      EXPECT_LE(gist->observer()->waiting(), kZRVObserverTickBacklog);
      window->pump();
      window->frame();
      std::this_thread::sleep_for(std::chrono::milliseconds(33));
    }
    EXPECT_LE(most, observers.size());
    EXPECT_GT(timeline->ticks().count(), 0u);
    EXPECT_GT(gist->chunks().chunkTable->count(), 0u);
  }
  window->close();
  for (ZRVCObserver* observer : observers) EXPECT_TRUE(window->pumpUntil([&] { return !observer->isAttached(); }));
}

}  // namespace

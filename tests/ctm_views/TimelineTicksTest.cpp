// The timeline's memory of ticks: live and paused, stepping, clearing, and the 1 024 kept ticks
// with the cursor staying on the tick it shows while old ticks leave.
#include <gtest/gtest.h>

#include "app/ctm/VSKTTimelineTicks.h"
#include "tests/ctm_views/ChunkText.h"

namespace {

Ref<VSKCTimelineTick> tickNumber(uint64_t number, bool empty = false) {
  const std::string chunks = empty ? "[]" : "[" + chunkText("a", "u" + std::to_string(number)) + "]";
  return VSKCTimelineTick::tickWithStatement(tickStatement(tickTerms(number, "[]", chunks, "[]")).get(), nullptr);
}

uint64_t shownNumber(const VSKTTimelineTicks& ticks) { return ticks.shown() ? ticks.shown()->tick() : 0; }

class TimelineTicks : public testing::Test {
protected:
  void receive(uint64_t from, uint64_t to) {
    for (uint64_t n = from; n <= to; ++n) ticks.receive(tickNumber(n));
  }
  VSKTTimelineTicks ticks;
};

TEST_F(TimelineTicks, LiveShowsEveryTickAndKeepsThoseWithChunks) {
  receive(1, 3);
  EXPECT_EQ(shownNumber(ticks), 3u);
  EXPECT_EQ(ticks.cursor(), 2u);
  EXPECT_EQ(ticks.status(), "3 - in-sync (3 ticks)");
  ticks.receive(tickNumber(4, true));
  EXPECT_EQ(shownNumber(ticks), 4u) << "an empty tick is shown";
  EXPECT_EQ(ticks.count(), 3u) << "but not kept";
  ticks.toggleLive();
  EXPECT_EQ(shownNumber(ticks), 3u) << "pausing jumps to the last kept tick";
  EXPECT_EQ(ticks.status(), "out-of-sync");
}

TEST_F(TimelineTicks, PauseStepAndResume) {
  receive(1, 5);
  ticks.toggleLive();
  EXPECT_EQ(shownNumber(ticks), 5u) << "the shown tick had chunks: it stays";
  // Each step and what it leaves on show and under the cursor.
  struct Step {
    void (VSKTTimelineTicks::*action)();
    uint64_t shown;
    size_t cursor;
  } steps[] = {
      {&VSKTTimelineTicks::next, 5, 4},     {&VSKTTimelineTicks::previous, 4, 3}, {&VSKTTimelineTicks::first, 1, 0},
      {&VSKTTimelineTicks::previous, 1, 0}, {&VSKTTimelineTicks::next, 2, 1},     {&VSKTTimelineTicks::last, 5, 4},
  };
  for (const Step& step : steps) {
    (ticks.*step.action)();
    EXPECT_EQ(shownNumber(ticks), step.shown);
    EXPECT_EQ(ticks.cursor(), step.cursor);
  }
  ticks.first();
  receive(6, 7);
  EXPECT_EQ(shownNumber(ticks), 1u) << "paused, arriving ticks are kept, not shown";
  EXPECT_EQ(ticks.status(), "1 - out-of-sync (7 ticks)");
  ticks.toggleLive();
  EXPECT_EQ(ticks.status(), "in-sync");
  ticks.previous();
  ticks.first();
  EXPECT_EQ(shownNumber(ticks), 1u) << "stepping while live changes nothing";
  receive(8, 8);
  EXPECT_EQ(shownNumber(ticks), 8u);
  EXPECT_EQ(ticks.cursor(), 7u);
}

TEST_F(TimelineTicks, ClearWhilePausedEmptiesTheTimeline) {
  receive(1, 3);
  ticks.toggleLive();
  ticks.clear();
  EXPECT_EQ(ticks.count(), 0u);
  EXPECT_FALSE(ticks.shown());
  EXPECT_EQ(ticks.status(), "out-of-sync");
  ticks.next();
  ticks.last();
  EXPECT_FALSE(ticks.shown());
  EXPECT_EQ(ticks.cursor(), 0u);
}

TEST_F(TimelineTicks, AtMost1024TicksAndTheCursorFollowsItsTick) {
  receive(1, kVSKTimelineCapacity);
  ticks.toggleLive();
  ticks.first();
  ticks.next();  // on tick 2
  ASSERT_EQ(shownNumber(ticks), 2u);
  receive(kVSKTimelineCapacity + 1, kVSKTimelineCapacity + 1);
  EXPECT_EQ(ticks.count(), kVSKTimelineCapacity) << "the 1025th pushes out the oldest";
  EXPECT_EQ(ticks.at(0)->tick(), 2u);
  EXPECT_EQ(ticks.cursor(), 0u) << "the cursor stays on tick 2 as tick 1 leaves";
  ticks.next();
  EXPECT_EQ(shownNumber(ticks), 3u);
  // While full, an empty tick removes the oldest and is not kept.
  ticks.receive(tickNumber(5000, true));
  EXPECT_EQ(ticks.count(), kVSKTimelineCapacity - 1);
  EXPECT_EQ(ticks.cursor(), 0u);
  EXPECT_EQ(ticks.at(ticks.cursor())->tick(), 3u) << "still the tick on show";
  // The tick on show leaves: it stays on show, and the next step shows the oldest kept one.
  receive(5001, 5002);
  ASSERT_EQ(ticks.at(0)->tick(), 4u);
  EXPECT_EQ(shownNumber(ticks), 3u) << "a paused timeline stays still";
  ticks.next();
  EXPECT_EQ(shownNumber(ticks), 4u);
  ticks.next();
  EXPECT_EQ(shownNumber(ticks), 5u);
  ticks.toggleLive();
  receive(6000, 6000);
  EXPECT_EQ(ticks.cursor(), ticks.count() - 1);
  EXPECT_EQ(ticks.status(), "6000 - in-sync (1024 ticks)");
}

}  // namespace

// A solution that floods the conversation with messages, one every 1 to 10 ms: the feed stays
// drawn and scrollable all along, and it keeps no more than its bound of entries, the oldest
// going first.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "tests/app/ConversationProbe.h"
#include "tests/app/ConversationWindow.h"

namespace {

using Clock = std::chrono::steady_clock;

// More messages than the feed keeps, so that the oldest have to go.
constexpr size_t kFloodMessages = kVSKFeedCapacity + 200;

class ConversationFloodTest : public ::testing::Test, public ConversationWindow {
protected:
  void SetUp() override {
    ASSERT_TRUE(open());
    window->content = [this] { drawn = {record().entries.size(), wraps()}; };
    probe = ConversationProbe::make();
    ASSERT_TRUE(MRKCSubstrate::shared()->attach(probe.get(), false));
  }
  void TearDown() override {
    stopFlood();
    if (probe) (void)MRKCSubstrate::shared()->detach(probe.get(), false);
    close();
  }

  // A thread that says "flood <n>" through the probe every 1 to 10 ms.
  void startFlood() {
    flooder = std::thread([this] {
      std::minstd_rand random(33);
      std::uniform_int_distribution<int> pause(1, 10);
      for (size_t n = 0; n < kFloodMessages && !stop; ++n) {
        (void)probe->ask("?ux(speak({}, \"flood " + std::to_string(n) + "\"), f" + std::to_string(n) + ")");
        sent = n + 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
      }
    });
  }
  void stopFlood() {
    stop = true;
    if (flooder.joinable()) flooder.join();
  }
  // One turn of the window as its loop makes it: the work queued since the last turn, then a frame.
  void turn() {
    window->pump();
    window->frame();
  }
  size_t wraps() {
    size_t count = 0;
    for (const Ref<VSKCConversationEntry>& entry : record().entries) count += entry->wrap() ? 1 : 0;
    return count;
  }
  // The canvas's pixels differ from its empty background somewhere in its left part (where the
  // CTM's bubbles are).
  bool bubblesDrawn() {
    QELCCanvas* canvas = record().canvas.get();
    const OGLTPoint origin = canvas->localToWorld({0, 0});
    const OGLTSize size = canvas->size();
    const int left = static_cast<int>(origin.x), top = static_cast<int>(origin.y);
    const auto background = window->pixel(left + static_cast<int>(size.w) - 30, top + 4);
    for (int y = top + 2; y < top + static_cast<int>(size.h) - 12; y += 3)
      for (int x = left + 12; x < left + 140; x += 3)
        if (window->pixel(x, y) != background) return true;
    return false;
  }

  // The feed as the last frame drew it, read between its passes. The messages that the frame's
  // closing pump takes in change the feed only after its pixels were drawn, and the next frame
  // shows them: the first entry may arrive just after a frame drew the empty feed, and entries
  // let go from a viewport at the top take their wraps along, while the wraps of the entries
  // that move up into view are built when the next frame syncs the feed up, before it draws.
  struct Drawn {
    size_t entries = 0;
    size_t wraps = 0;
  };
  Drawn drawn;
  Ref<ConversationProbe> probe;
  std::thread flooder;
  std::atomic<bool> stop{false};
  std::atomic<size_t> sent{0};
};

TEST_F(ConversationFloodTest, TheFeedStaysDrawnAndScrollableDuringAFloodAndKeepsItsBound) {
  turn();
  ASSERT_FALSE(bubblesDrawn());
  startFlood();
  // Frames at 30 a second while the flood lasts; every frame that draws the feed with entries
  // shows bubbles, and wraps of its entries.
  size_t frames = 0, blank = 0, largest = 0;
  bool scrolled = false;
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(60);
  while (Clock::now() < deadline) {
    const bool flooding = sent < kFloodMessages;
    turn();
    largest = std::max(largest, record().entries.size());
    if (drawn.entries > 0) {
      ++frames;
      if (drawn.wraps == 0 || !bubblesDrawn()) ++blank;
    }
    // Half-way, a person scrolls to the top: the oldest kept bubbles show and stay in view.
    if (!scrolled && sent > kFloodMessages / 2) {
      window->cursorEvent({200, 200});
      window->key(kOGLKeyHome, kOGLActionPress);
      turn();
      window->cursorEvent({200, 200});
      window->key(kOGLKeyHome, kOGLActionRelease);
      turn();
      ASSERT_TRUE(record().vbar->visible());
      EXPECT_LE(record().canvas->offset().y, 0.0f);
      EXPECT_TRUE(record().entries.front()->wrap());
      scrolled = true;
    }
    if (!flooding && probe->replyCount() >= kFloodMessages) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(33));
  }
  stopFlood();
  turn();
  EXPECT_EQ(probe->replyCount(), kFloodMessages);
  EXPECT_GT(frames, 10u) << "a flood must leave the window drawing";
  EXPECT_EQ(blank, 0u) << "of " << frames << " frames";
  EXPECT_LE(largest, kVSKFeedCapacity);
  ASSERT_EQ(record().entries.size(), kVSKFeedCapacity);
  // The oldest went first: the feed ends with the last message and holds the ones just before.
  EXPECT_EQ(record().entries.back()->term()->text(), "\"flood " + std::to_string(kFloodMessages - 1) + "\"");
  EXPECT_EQ(record().entries.front()->term()->text(),
            "\"flood " + std::to_string(kFloodMessages - kVSKFeedCapacity) + "\"");
  EXPECT_EQ(record().entries.front()->frame().top, kVSKFeedTop);
  // The solution still reads the feed by the positions it was given: every message counts.
  ASSERT_TRUE(probe->ask("?ux(reads({\"offset\": 0}), r1)"));
  ASSERT_TRUE(window->pumpUntil([&] { return probe->replyCount() > kFloodMessages; }));
  EXPECT_EQ(probe->reply(kFloodMessages)->statement()->terms()->text(),
            "[reads({\"offset\": 0}, {\"offset\": " + std::to_string(kFloodMessages) + ", \"inputs\": []})]");
}

}  // namespace

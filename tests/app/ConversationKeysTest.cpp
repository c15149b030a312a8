// The conversation's keyboard and wheel: over the feed, the arrow, page, Home and End keys and
// the wheel move the vertical bar and the feed follows it; away from the view they do nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/ctm/VSKFConversationBubbles.h"
#include "tests/app/ConversationWindow.h"

namespace {

class ConversationKeysTest : public ::testing::Test, public ConversationWindow {
protected:
  void SetUp() override {
    ASSERT_TRUE(open());
    for (int i = 0; i < 40; ++i)
      ASSERT_TRUE(feed().VSKFConversationAppendMessage({kVSKSpeakerCTM, kVSKEntryMessage, 0}, 0,
                                                       "message " + std::to_string(i), nullptr));
    window->frame();
    ASSERT_TRUE(record().vbar->visible());
  }
  void TearDown() override { close(); }
  // A point of the feed beside the CTM's bubbles, which stand at its left.
  OGLTPoint overTheFeed() { return record().canvas->localToWorld({500, 100}); }
  static constexpr OGLTPoint kAway = {680, 630};
  void key(int32_t code, int32_t action, OGLTPoint at) {
    window->cursorEvent(at);
    window->key(code, action);
    window->frame();
  }
  float scroll() const { return view->record().vbar->scroll(); }
  // Where the bar's value puts the feed: the value's content position at the middle.
  void expectTheFeedFollows() {
    const float content = record().canvas->content().h, shown = record().canvas->size().h;
    const float wanted = std::clamp(content * scroll() - shown / 2, 0.0f, content - shown);
    EXPECT_NEAR(record().canvas->offset().y, wanted, 1.0f);
  }
};

TEST_F(ConversationKeysTest, KeysOverTheFeedMoveTheBarAndTheFeedFollows) {
  const float page = record().canvas->size().h / record().canvas->content().h;
  struct Step {
    const char* name;
    int32_t code;
    int32_t action;
    float scroll;
  };
  const Step steps[] = {
      {"Home", kOGLKeyHome, kOGLActionPress, 0},
      {"Down", kOGLKeyDown, kOGLActionPress, 0.1f},
      {"Down held", kOGLKeyDown, kOGLActionRepeat, 0.2f},
      {"Down let go", kOGLKeyDown, kOGLActionRelease, 0.2f},
      {"Up", kOGLKeyUp, kOGLActionPress, 0.1f},
      {"Page Down", kOGLKeyPageDown, kOGLActionPress, 0.1f + page},
      {"Page Up", kOGLKeyPageUp, kOGLActionPress, 0.1f},
      {"another key", kOGLKeyA, kOGLActionPress, 0.1f},
      {"End", kOGLKeyEnd, kOGLActionPress, 1},
      {"Down at the end", kOGLKeyDown, kOGLActionPress, 1},
      {"Home", kOGLKeyHome, kOGLActionPress, 0},
      {"Up at the start", kOGLKeyUp, kOGLActionPress, 0},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    key(step.code, step.action, overTheFeed());
    EXPECT_NEAR(scroll(), step.scroll, 1e-4);
    expectTheFeedFollows();
  }
  // At the end the last bubble is in view; at the start the first.
  key(kOGLKeyEnd, kOGLActionPress, overTheFeed());
  EXPECT_TRUE(record().entries.back()->wrap());
  EXPECT_EQ(record().canvas->offset().y + record().canvas->size().h, record().canvas->content().h);
  key(kOGLKeyHome, kOGLActionPress, overTheFeed());
  EXPECT_TRUE(record().entries.front()->wrap());
  EXPECT_EQ(record().canvas->offset().y, 0);
  // Away from the view the keys are not the conversation's.
  key(kOGLKeyEnd, kOGLActionPress, kAway);
  EXPECT_EQ(scroll(), 0);
}

TEST_F(ConversationKeysTest, TheWheelOverTheViewMovesTheBarATenthANotch) {
  key(kOGLKeyHome, kOGLActionPress, overTheFeed());
  struct Step {
    float dy;
    float scroll;
  };
  for (const Step& step : {Step{-1, 0.1f}, Step{-2, 0.3f}, Step{1, 0.2f}, Step{10, 0}, Step{-30, 1}}) {
    SCOPED_TRACE(step.dy);
    window->cursorEvent(overTheFeed());
    window->scroll({0, step.dy});
    window->frame();
    EXPECT_NEAR(scroll(), step.scroll, 1e-4);
    expectTheFeedFollows();
  }
  window->cursorEvent(kAway);
  window->scroll({0, 5});
  window->frame();
  EXPECT_EQ(scroll(), 1);
}

}  // namespace

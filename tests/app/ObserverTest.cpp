// The observer delivers what it hears to its target on the window's thread, once per squib
// however often a label was followed, and never after its target was cleared; a window that
// falls behind holds one task of the observer and gets the newest squibs.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "framework/app/ZRVCObserver.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "tests/app/RecordingWindow.h"

namespace {

constexpr LLKTMessageCode kSquibCode{0xd00, 0, 0};

class ObserverTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(window);
    ASSERT_TRUE(window->attach(Ref<QELBWidget>(target)));
    observer->setTarget(target.get());
    observer->setOnSquib(LLKCMessage::messageWithCode(kSquibCode));
    ASSERT_TRUE(substrate->attach(observer.get(), false));
    observer->appendLabel("test.marker");
  }
  void TearDown() override {
    observer->setTarget(nullptr);
    (void)substrate->detach(observer.get(), false);
  }

  // Publishes tick(n) on the label and waits until the substrate delivered it to the observer.
  void publish(const char* label, double n) {
    Ref<MRKCNumber> number = MRKCNumber::numberWithReal(n);
    Ref<MRKCStatement> statement =
        MRKCStatement::statementWithLabel(label, MRKCList::listWithTerms({number.get()}).get(), 1.0);
    ASSERT_TRUE(substrate->publish(MRKCSquib::squibWithLabel(label, statement.get(), 5.0f).get(), {}));
  }
  // Publishes on the marker label and waits for it: everything published before reached the
  // target by then (one strand, in order).
  void settle() {
    publish("test.marker", -1);
    ASSERT_TRUE(window->pumpUntil([&] {
      return !target->messages.empty() && target->messages.back()->payloadAs<MRKCSquib>()->label() == "test.marker";
    }));
  }
  std::vector<std::string> labels() {
    std::vector<std::string> seen;
    for (const Ref<LLKCMessage>& message : target->messages) {
      Ref<MRKCSquib> squib = message->payloadAs<MRKCSquib>();
      seen.push_back(squib ? squib->label() : "?");
    }
    return seen;
  }

  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Ref<RecordingWindow> window = RecordingWindow::make();
  Ref<RecordingWidget> target = RecordingWidget::make();
  Ref<ZRVCObserver> observer = ZRVCObserver::observerWithGuid({}, {}, "test.observer", nullptr);
};

TEST_F(ObserverTest, FollowedSquibReachesTheTargetOnceAsACopyOfTheSetMessage) {
  observer->appendLabel("ctm.tick");
  observer->appendLabel("ctm.tick");
  publish("ctm.tick", 1);
  publish("other", 2);
  settle();
  ASSERT_EQ(labels(), (std::vector<std::string>{"ctm.tick", "test.marker"}));
  const Ref<LLKCMessage>& first = target->messages.front();
  EXPECT_EQ(first->code(), kSquibCode);
  EXPECT_TRUE(first->payloadAs<MRKCSquib>());
}

TEST_F(ObserverTest, NothingReachesATargetAfterItWasCleared) {
  observer->appendLabel("ctm.tick");
  publish("ctm.tick", 1);
  settle();
  ASSERT_EQ(labels().size(), 2u);
  // Deliveries already queued on the window's thread are checked again when they run.
  publish("ctm.tick", 2);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (window->pending() == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  ASSERT_EQ(window->pending(), 1u);
  ASSERT_TRUE(substrate->detach(observer.get(), false));
  observer->setTarget(nullptr);
  window->pump();
  EXPECT_EQ(labels().size(), 2u);
  EXPECT_EQ(observer->target(), nullptr);
}

TEST_F(ObserverTest, AWindowThatFallsBehindHoldsOneTaskAndGetsTheNewestInOrder) {
  observer->appendLabel("ctm.tick");
  settle();
  target->messages.clear();
  observer->setBacklog(3);
  // The window does no work while a hundred ticks arrive.
  for (int n = 0; n < 100; ++n) publish("ctm.tick", n);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (observer->waiting() + observer->dropped() < 100 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::yield();
  EXPECT_EQ(observer->waiting(), 3u);
  EXPECT_EQ(observer->dropped(), 97u);
  EXPECT_EQ(window->pending(), 1u);
  window->pump();
  std::vector<double> ticks;
  for (const Ref<LLKCMessage>& message : target->messages)
    ticks.push_back(
        message->payloadAs<MRKCSquib>()->statements()->head()->asStatement()->terms()->head()->asNumber()->real());
  EXPECT_EQ(ticks, (std::vector<double>{97, 98, 99}));
  EXPECT_EQ(window->pending(), 0u);
}

TEST_F(ObserverTest, QueriesAndRepliesGoToTheTargetWithTheirOwnMessages) {
  observer->setOnQuery(LLKCMessage::messageWithCode({0xd01, 0, 0}));
  Ref<MRKCNumber> number = MRKCNumber::numberWithReal(3);
  Ref<MRKCPredicate> predicate =
      MRKCPredicate::predicateWithLabel("test.observer.label", MRKCList::listWithTerms({number.get()}).get());
  ASSERT_TRUE(predicate);
  ASSERT_TRUE(
      substrate->inquire(MRKCQuery::queryWithPredicate(predicate.get(), nullptr, 5.0f).get(), {}, observer->guid()));
  ASSERT_TRUE(window->pumpUntil([&] { return !target->messages.empty(); }));
  EXPECT_EQ(target->messages.front()->uid(), 0xd01u);
  EXPECT_TRUE(target->messages.front()->payloadAs<MRKCQuery>());
}

}  // namespace

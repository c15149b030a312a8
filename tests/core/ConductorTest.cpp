#include "framework/core/LLKBConductor.h"
#include "framework/core/LLKCPointer.h"
#include "framework/core/LLKFSystem.h"

#include "tests/core/EventLog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <thread>
#include <vector>

namespace {

// Records every hook with the thread it ran on; a read message (uid 1) doubles the int its
// pointer payload points at, a message with uid 2 sends another one to itself.
class Probe : public LLKBConductor {
public:
  explicit Probe(EventLog& log) : log_(log) {}
  std::atomic<uint64_t> hookUid{0};
  std::atomic<int> stopAfterBeats{-1};

protected:
  void onStarting() override {
    hookUid = LLKFGetThreadUid();
    log_.add("starting");
  }
  void onBeated() override {
    log_.add("beat");
    if (--stopAfterBeats == 0) stop();
  }
  void onStopping() override { log_.add("stopping"); }
  void onFlashed(uint64_t code) override { log_.add("flash " + std::to_string(code)); }
  bool onMessaged(const Ref<LLKCMessage>& message) override {
    if (getUid() != LLKFGetThreadUid()) log_.add("wrong thread");
    if (message->uid() == 1) {
      int* value = static_cast<int*>(message->payloadAs<LLKCPointer>()->address());
      *value *= 2;
    } else if (message->uid() == 2) {
      log_.add(send(LLKCMessage::messageWithCode(3)) ? "inline sent" : "inline refused");
    } else {
      log_.add("message " + std::to_string(message->uid()));
    }
    return true;
  }

private:
  EventLog& log_;
};

TEST(Conductor, HooksRunInOrderOnItsOwnThread) {
  EventLog log;
  Ref<Probe> conductor = makeRef<Probe>(log);
  conductor->setBeat(1);
  ASSERT_TRUE(conductor->start());
  EXPECT_NE(conductor->getUid(), LLKFGetThreadUid());
  ASSERT_TRUE(log.waitForCount("beat", 3));
  conductor->stopAndJoin();
  std::vector<std::string> events = log.events();
  EXPECT_EQ(events.front(), "starting");
  EXPECT_EQ(events.back(), "stopping");
  EXPECT_EQ(conductor->hookUid.load(), conductor->getUid());
  EXPECT_FALSE(conductor->isRunning());
  EXPECT_FALSE(conductor->start());  // runs once
}

// A beat, like a window's input and frames, that runs out of memory ends there: the conductor
// goes on beating.
TEST(Conductor, ABeatThatRunsOutOfMemoryEndsThatBeatOnly) {
  class Spendthrift : public LLKBConductor {
  public:
    explicit Spendthrift(EventLog& log) : log_(log) {}

  protected:
    void onBeated() override {
      log_.add("beat");
      if (++beats_ == 1) throw std::bad_alloc();
    }

  private:
    EventLog& log_;
    int beats_ = 0;
  };
  EventLog log;
  Ref<Spendthrift> conductor = makeRef<Spendthrift>(log);
  conductor->setBeat(1);
  ASSERT_TRUE(conductor->start());
  EXPECT_TRUE(log.waitForCount("beat", 3));
  conductor->stopAndJoin();
}

TEST(Conductor, SendReturnsAfterTheHandlerRanAndInlineOnItsOwnThread) {
  EventLog log;
  Ref<Probe> conductor = makeRef<Probe>(log);
  ASSERT_TRUE(conductor->start());
  int value = 21;
  EXPECT_TRUE(conductor->send(LLKCMessage::messageWithCode(1, LLKCPointer::pointerWithAddress(&value))));
  EXPECT_EQ(value, 42);
  // A send made from the conductor's own thread must not wait for a later turn of itself.
  EXPECT_TRUE(conductor->send(LLKCMessage::messageWithCode(2)));
  EXPECT_EQ(log.count("inline sent"), 1u);
  EXPECT_EQ(log.count("message 3"), 1u);
  EXPECT_FALSE(conductor->send(nullptr));
  conductor->stopAndJoin();
  EXPECT_EQ(log.count("wrong thread"), 0u);
}

TEST(Conductor, SendFailsBeforeStartAndAfterStopInsteadOfBlocking) {
  EventLog log;
  Ref<Probe> conductor = makeRef<Probe>(log);
  int value = 1;
  EXPECT_FALSE(conductor->send(LLKCMessage::messageWithCode(1, LLKCPointer::pointerWithAddress(&value))));
  ASSERT_TRUE(conductor->start());
  conductor->stopAndJoin();
  EXPECT_FALSE(conductor->send(LLKCMessage::messageWithCode(1, LLKCPointer::pointerWithAddress(&value))));
  EXPECT_FALSE(conductor->flash(7));
  EXPECT_FALSE(conductor->post(LLKCMessage::messageWithCode(4)));
  EXPECT_FALSE(conductor->sched([] {}));
  EXPECT_EQ(value, 1);
}

TEST(Conductor, SendersRacingAStopAllReturn) {
  EventLog log;
  Ref<Probe> conductor = makeRef<Probe>(log);
  ASSERT_TRUE(conductor->start());
  std::atomic<int> delivered{0}, refused{0};
  std::vector<std::thread> senders;
  // Each sender sends until the conductor refuses; the stop must end every one of them.
  for (int t = 0; t < 4; ++t)
    senders.emplace_back([&] {
      while (conductor->send(LLKCMessage::messageWithCode(9))) ++delivered;
      ++refused;
    });
  ASSERT_TRUE(log.waitForCount("message 9", 50));
  conductor->stopAndJoin();
  for (auto& sender : senders) sender.join();  // hangs here if a send waits on a stopped conductor
  EXPECT_EQ(refused.load(), 4);
  EXPECT_EQ(static_cast<size_t>(delivered.load()), log.count("message 9"));
}

TEST(Conductor, FlashPostAndSchedRunOnLaterTurnsInOrder) {
  EventLog log;
  Ref<Probe> conductor = makeRef<Probe>(log);
  conductor->setBeat(0);
  // Work queued before start waits for the loop.
  EXPECT_TRUE(conductor->flash(1));
  ASSERT_TRUE(conductor->start());
  auto queued = std::chrono::steady_clock::now();
  std::atomic<bool> lateRanEarly{false};
  EXPECT_TRUE(conductor->sched(
      [&, queued] {
        lateRanEarly = std::chrono::steady_clock::now() - queued < std::chrono::milliseconds(20);
        log.add("late");
      },
      20));
  EXPECT_TRUE(conductor->flash(2));
  EXPECT_TRUE(conductor->post(LLKCMessage::messageWithCode(5)));
  EXPECT_TRUE(conductor->sched([&] { log.add("soon"); }));
  ASSERT_TRUE(log.waitForCount("late", 1));
  conductor->stopAndJoin();
  EXPECT_EQ(log.events(),
            (std::vector<std::string>{"starting", "flash 1", "flash 2", "message 5", "soon", "late", "stopping"}));
  EXPECT_FALSE(lateRanEarly.load());
}

TEST(Conductor, StartSyncRunsOnTheCallersThreadUntilStopped) {
  EventLog log;
  Ref<Probe> conductor = makeRef<Probe>(log);
  conductor->setBeat(1);
  conductor->stopAfterBeats = 3;
  ASSERT_TRUE(conductor->startSync());
  EXPECT_EQ(conductor->hookUid.load(), LLKFGetThreadUid());
  EXPECT_EQ(log.count("beat"), 3u);
  EXPECT_EQ(log.events().back(), "stopping");
}

// A conductor whose owner let go while it runs lives on until it stops itself, then goes.
class Orphan : public Probe {
public:
  Orphan(EventLog& log, EventLog& deaths) : Probe(log), deaths_(deaths) {}
  ~Orphan() override { deaths_.add("gone"); }

private:
  EventLog& deaths_;
};

TEST(Conductor, KeepsItselfAliveWhileRunning) {
  EventLog log, deaths;
  {
    Ref<Orphan> conductor = makeRef<Orphan>(log, deaths);
    conductor->setBeat(1);
    conductor->stopAfterBeats = 5;
    ASSERT_TRUE(conductor->start());
  }
  ASSERT_TRUE(deaths.waitForCount("gone", 1));
  EXPECT_EQ(log.count("beat"), 5u);
  EXPECT_EQ(log.events().back(), "stopping");
}

}  // namespace

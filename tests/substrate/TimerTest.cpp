// The runtime timer: repeats, replaces, stops from inside its own selector, and runs a
// processor's selector among its hooks.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/substrate/Recorder.h"

namespace {

class TimerTest : public ::testing::Test {
protected:
  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  MRKCRuntime* runtime = substrate->runtime();
};

TEST_F(TimerTest, UnscheduleFromInsideTheSelectorStopsIt) {
  Ref<Recorder> clock = adoptRef(new Recorder("clock"));
  EXPECT_TRUE(substrate->attach(clock.get(), false));
  std::atomic<int> ticks{0};
  ASSERT_TRUE(runtime->schedule(
      clock->guid(),
      [&] {
        if (++ticks == 3) {
          EXPECT_TRUE(runtime->unschedule(clock->guid()));
        }
        clock->record("tick");
      },
      3, 2));
  Ref<Recorder> witness = adoptRef(new Recorder("witness"));
  EXPECT_TRUE(substrate->attach(witness.get(), false));
  runtime->schedule(
      witness->guid(), [&] { witness->record("beat"); }, 0, 2);
  ASSERT_TRUE(witness->waitForCount("beat", 20)) << "many periods passed";
  EXPECT_EQ(ticks.load(), 3);
  EXPECT_FALSE(runtime->isScheduled(clock->guid()));
  substrate->detach(witness.get(), false);  // its selector uses this test's locals
}

TEST_F(TimerTest, ScheduleReplacesAndMayRescheduleFromInside) {
  Ref<Recorder> clock = adoptRef(new Recorder("clock"));
  EXPECT_TRUE(substrate->attach(clock.get(), false));
  runtime->schedule(
      clock->guid(), [&] { clock->record("old"); }, 0, 1000000);
  runtime->schedule(
      clock->guid(),
      [&] {
        clock->record("fast");
        if (clock->countOf("fast") == 2)
          runtime->schedule(
              clock->guid(), [&] { clock->record("slow"); }, 0, 3);
      },
      0, 2);
  ASSERT_TRUE(clock->waitForCount("slow", 2));
  EXPECT_EQ(clock->countOf("old"), 0u);
  EXPECT_EQ(clock->countOf("fast"), 2u);
  substrate->detach(clock.get(), false);
}

TEST_F(TimerTest, SelectorsOfAProcessorNeverOverlapItsHooks) {
  Ref<Recorder> busy = adoptRef(new Recorder("busy"));
  EXPECT_TRUE(substrate->attach(busy.get(), false));
  EXPECT_TRUE(substrate->disclose("load", busy->guid()));
  runtime->schedule(
      busy->guid(), [&] { busy->record("tick"); }, 0, 1);
  Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel("load", nullptr, 1.0);
  for (int i = 0; i < 2000; ++i)
    EXPECT_TRUE(substrate->publish(MRKCSquib::squibWithLabel("load", statement.get(), 5.0f).get(), {}));
  ASSERT_TRUE(busy->waitForCount("squib load", 2000));
  ASSERT_TRUE(busy->waitForCount("tick", 5));
  EXPECT_FALSE(busy->overlapped);
  substrate->detach(busy.get(), false);
  EXPECT_FALSE(runtime->isScheduled(busy->guid())) << "detaching stops the processor's timer";
}

TEST_F(TimerTest, ATimerSetByALateOnAttachedGoesWithTheDetach) {
  Ref<Recorder> late = adoptRef(new Recorder("late"));
  late->onEvent = [&](Recorder& me, const std::string& event) {
    if (event != "attached") return;
    runtime->schedule(
        me.guid(), [&me] { me.record("tick"); }, 0, 1);
    // The timer comes due many times meanwhile; it must wait for the processor's own strand.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  };
  // Hold the strand so that onAttached runs only after the detach.
  std::mutex mutex;
  std::condition_variable released;
  bool release = false;
  late->schedule([&] {
    std::unique_lock lock(mutex);
    released.wait(lock, [&] { return release; });
  });
  ASSERT_TRUE(substrate->attach(late.get(), true));
  ASSERT_TRUE(substrate->detach(late.get(), true));
  {
    std::lock_guard lock(mutex);
    release = true;
  }
  released.notify_all();
  ASSERT_TRUE(late->waitForEvent("detached"));
  EXPECT_FALSE(runtime->isScheduled(late->guid()));
  // Its firings were queued behind the detach on the processor's strand and found it gone: it
  // never ran beside onAttached, nor after onDetached while the processor was being let go.
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_FALSE(late->overlapped);
  EXPECT_EQ(late->countOf("tick"), 0u);
}

TEST_F(TimerTest, RefusesWhatCannotRun) {
  EXPECT_FALSE(runtime->schedule(
      "", [] {}, 0, 10));
  EXPECT_FALSE(runtime->schedule("k", nullptr, 0, 10));
  EXPECT_FALSE(runtime->schedule(
      "k", [] {}, 0, 0));
  EXPECT_FALSE(runtime->unschedule("never"));
}

TEST(Runtime, AFiringStillQueuedWhenTheRuntimeGoesRunsNothing) {
  auto pool = std::make_shared<MRKCWorkerPool>(2);
  Ref<MRKCStrand> busy = MRKCStrand::strand();
  busy->bind(pool);
  std::mutex mutex;
  std::condition_variable changed;
  bool release = false;
  int beats = 0;
  busy->post([&] {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return release; });
  });
  std::atomic<bool> ran{false};
  auto runtime =
      std::make_unique<MRKCRuntime>(pool, [&](const std::string& key) { return key == "late" ? busy : nullptr; });
  runtime->schedule(
      "late", [&] { ran = true; }, 0, 1);
  runtime->schedule(
      "beat",
      [&] {
        std::lock_guard lock(mutex);
        ++beats;
        changed.notify_all();
      },
      0, 1);
  bool beaten;
  {
    // Both fall due together, "late" no later: once the beat ran, the late firing waits behind the busy task.
    std::unique_lock lock(mutex);
    beaten = changed.wait_for(lock, std::chrono::seconds(10), [&] { return beats > 0; });
  }
  runtime.reset();
  {
    std::lock_guard lock(mutex);
    release = true;
  }
  changed.notify_all();
  EXPECT_TRUE(beaten);
  EXPECT_TRUE(busy->runAndWait([] {}));
  EXPECT_FALSE(ran);
  pool->stop();
}

TEST_F(TimerTest, OffloaderRunsJobsOneAtATimeInOrder) {
  Ref<MRKCOffloader> offloader = substrate->globals()->fetch<MRKCOffloader>("offloader");
  ASSERT_TRUE(offloader);
  std::mutex mutex;
  std::condition_variable done;
  std::vector<int> order;
  std::atomic<int> active{0};
  std::atomic<bool> overlapped{false};
  for (int i = 0; i < 20; ++i)
    ASSERT_TRUE(offloader->submit([&, i] {
      if (++active > 1) overlapped = true;
      std::this_thread::yield();
      --active;
      std::lock_guard lock(mutex);
      order.push_back(i);
      done.notify_all();
    }));
  std::unique_lock lock(mutex);
  ASSERT_TRUE(done.wait_for(lock, std::chrono::seconds(10), [&] { return order.size() == 20; }));
  EXPECT_FALSE(overlapped);
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
}

class Action : public LLKBOperation {
public:
  void onPrepare() override { steps += "p"; }
  void onExecute() override { steps += "e"; }
  void onDismiss() override { steps += "d"; }
  std::string steps;
};

TEST_F(TimerTest, OffloadedActionsReportToTheirProcessor) {
  Ref<MRKCOffloader> offloader = substrate->globals()->fetch<MRKCOffloader>("offloader");
  Ref<Recorder> owner = adoptRef(new Recorder("owner"));
  EXPECT_TRUE(substrate->attach(owner.get(), false));
  Ref<Action> action = adoptRef(new Action());
  ASSERT_TRUE(offloader->submit(Ref<LLKBOperation>(action), owner.get(), [&](LLKBOperation* done) {
    owner->record("completed " + static_cast<Action*>(done)->steps);
  }));
  ASSERT_TRUE(owner->waitForEvent("completed ped"));
  EXPECT_FALSE(owner->onCreatorThread);
  Ref<Action> load = adoptRef(new Action());
  ASSERT_TRUE(offloader->submit(Ref<LLKBOperation>(load)));
  ASSERT_TRUE(
      offloader->submit(Ref<LLKBOperation>(action), owner.get(), [&](LLKBOperation*) { owner->record("second"); }));
  ASSERT_TRUE(owner->waitForEvent("second"));
  EXPECT_EQ(load->steps, "ped") << "jobs run in order, so the operation ran before the second action";
  EXPECT_FALSE(offloader->submit(Ref<LLKBOperation>()));
}

}  // namespace

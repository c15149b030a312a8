#include "framework/core/LLKBHandler.h"
#include "framework/core/LLKBWorker.h"
#include "framework/core/LLKCScheduler.h"
#include "framework/core/LLKCString.h"

#include "tests/core/EventLog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// Reads a "folder" of n entries in batches of 2 after a message names n.
class BatchReader : public LLKBHandler {
public:
  explicit BatchReader(EventLog& log) : log_(log) {}

protected:
  bool onMessaged(const Ref<LLKCMessage>& message) override {
    left_ = static_cast<int>(message->uid());
    return true;
  }
  bool onRunning() override {
    if (left_ <= 0) return false;
    int batch = left_ >= 2 ? 2 : left_;
    left_ -= batch;
    log_.add("batch " + std::to_string(batch));
    if (left_ == 0) log_.add("done");
    return true;
  }
  void onStopping() override { log_.add("stopping"); }

private:
  EventLog& log_;
  int left_ = 0;
};

TEST(Handler, StepsThroughAJobAndIdlesUntilTheNextMessage) {
  EventLog log;
  Ref<BatchReader> reader = makeRef<BatchReader>(log);
  ASSERT_TRUE(reader->start());
  ASSERT_TRUE(reader->post(LLKCMessage::messageWithCode(5)));
  ASSERT_TRUE(log.waitForCount("done", 1));
  ASSERT_TRUE(reader->post(LLKCMessage::messageWithCode(1)));
  ASSERT_TRUE(log.waitForCount("done", 2));
  reader->stopAndJoin();
  EXPECT_EQ(log.events(),
            (std::vector<std::string>{"batch 2", "batch 2", "batch 1", "done", "batch 1", "done", "stopping"}));
}

// A job that never ends by itself.
class Spinner : public LLKBHandler {
public:
  explicit Spinner(EventLog& log) : log_(log) {}

protected:
  bool onRunning() override {
    if (steps_++ == 100) log_.add("spinning");
    return true;
  }

private:
  EventLog& log_;
  int steps_ = 0;
};

TEST(Handler, StopsBetweenStepsOfAJobThatNeverEnds) {
  EventLog log;
  Ref<Spinner> spinner = makeRef<Spinner>(log);
  ASSERT_TRUE(spinner->start());
  ASSERT_TRUE(log.waitForCount("spinning", 1));
  spinner->stopAndJoin();  // hangs here if the steps starve the stop
  EXPECT_FALSE(spinner->isRunning());
}

// A step that does not return until it is let go, as a decoder stuck on a crafted file; it then
// says whether it saw the stop.
class Stuck : public LLKBHandler {
public:
  explicit Stuck(EventLog& log) : log_(log) {}
  void letGo() {
    std::lock_guard lock(mutex_);
    released_ = true;
    release_.notify_all();
  }

protected:
  bool onRunning() override {
    log_.add("stuck");
    std::unique_lock lock(mutex_);
    release_.wait(lock, [this] { return released_; });
    log_.add(stopping() ? "saw the stop" : "missed the stop");
    return false;
  }
  void onStopping() override { log_.add("stopping"); }

private:
  EventLog& log_;
  std::mutex mutex_;
  std::condition_variable release_;
  bool released_ = false;
};

// Stopping with a grace lets go of a loop whose step does not return: the owner goes on, the
// loop keeps itself alive and ends after that step, which can tell that a stop was asked for.
// A loop that is idle, or never started, ends within the grace.
TEST(Handler, AStepThatDoesNotReturnIsLetGoAfterTheGrace) {
  EventLog log;
  Ref<Stuck> stuck = makeRef<Stuck>(log);
  ASSERT_TRUE(stuck->start());
  ASSERT_TRUE(log.waitForCount("stuck", 1));
  EXPECT_FALSE(stuck->stopAndJoinWithin(std::chrono::milliseconds(50)));
  Stuck* loose = stuck.get();
  stuck = nullptr;  // the loop holds the last reference
  loose->letGo();
  ASSERT_TRUE(log.waitForCount("stopping", 1));
  EXPECT_EQ(log.events(), (std::vector<std::string>{"stuck", "saw the stop", "stopping"}));

  EventLog idleLog;
  Ref<BatchReader> idle = makeRef<BatchReader>(idleLog);
  EXPECT_TRUE(makeRef<BatchReader>(idleLog)->stopAndJoinWithin(std::chrono::milliseconds(0)));
  ASSERT_TRUE(idle->start());
  EXPECT_TRUE(idle->stopAndJoinWithin(std::chrono::seconds(10)));
  EXPECT_FALSE(idle->isRunning());
}

class Ticker : public LLKBWorker {
public:
  explicit Ticker(EventLog& log) : log_(log) {}
  std::atomic<bool> backwards{false};

protected:
  void onTimedOutAt(double seconds) override {
    if (seconds < last_) backwards = true;
    last_ = seconds;
    log_.add("tick");
  }

private:
  EventLog& log_;
  double last_ = 0;
};

TEST(Worker, TimesOutRepeatedlyWithAnAdvancingClock) {
  EventLog log;
  Ref<Ticker> worker = makeRef<Ticker>(log);
  worker->setTimeout(1);
  ASSERT_TRUE(worker->start());
  ASSERT_TRUE(log.waitForCount("tick", 5));
  worker->setTimeout(0);
  worker->stopAndJoin();
  EXPECT_FALSE(worker->backwards.load());
}

class Recording : public LLKBOperation {
public:
  Recording(EventLog& log, std::string name) : log_(log), name_(std::move(name)) {}
  void onPrepare() override { log_.add(name_ + " prepare"); }
  void onExecute() override { log_.add(name_ + " execute"); }
  void onDismiss() override { log_.add(name_ + " dismiss"); }

private:
  EventLog& log_;
  std::string name_;
};

TEST(Scheduler, RunsEveryOperationOnceWithItsHooksInOrder) {
  EventLog log;
  Ref<LLKCScheduler> scheduler = LLKCScheduler::schedulerWithSetup({0, 4, 500});
  ASSERT_TRUE(scheduler);
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(scheduler->submit(makeRef<Recording>(log, std::to_string(i))));
  ASSERT_TRUE(log.waitUntil([](const auto& events) { return events.size() == 60; }));
  std::vector<std::string> events = log.events();
  for (int i = 0; i < 20; ++i) {
    std::string name = std::to_string(i);
    auto at = [&](const std::string& hook) {
      return std::find(events.begin(), events.end(), name + " " + hook) - events.begin();
    };
    EXPECT_LT(at("prepare"), at("execute"));
    EXPECT_LT(at("execute"), at("dismiss"));
  }
  EXPECT_FALSE(scheduler->submit(nullptr));
}

// Holds its thread until released, so tests can fill the queue behind it.
class Gate : public LLKBOperation {
public:
  void onExecute() override {
    std::unique_lock lock(mutex);
    entered = true;
    changed.notify_all();
    changed.wait(lock, [&] { return open; });
  }
  void letThrough() {
    std::lock_guard lock(mutex);
    open = true;
    changed.notify_all();
  }
  bool waitEntered() {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(10), [&] { return entered; });
  }
  std::mutex mutex;
  std::condition_variable changed;
  bool entered = false;
  bool open = false;
};

TEST(Scheduler, RefusesPastCapacityAndDropsWaitingOperationsAtStop) {
  EventLog log;
  Ref<LLKCScheduler> scheduler = LLKCScheduler::schedulerWithSetup({0, 1, 2});
  Ref<Gate> gate = makeRef<Gate>();
  ASSERT_TRUE(scheduler->submit(gate));
  ASSERT_TRUE(gate->waitEntered());
  EXPECT_TRUE(scheduler->submit(makeRef<Recording>(log, "a")));
  EXPECT_TRUE(scheduler->submit(makeRef<Recording>(log, "b")));
  EXPECT_FALSE(scheduler->submit(makeRef<Recording>(log, "c")));
  EXPECT_EQ(scheduler->pending(), 2u);
  std::thread opener([&] { gate->letThrough(); });
  scheduler->stopAndJoin();
  opener.join();
  EXPECT_FALSE(scheduler->submit(makeRef<Recording>(log, "d")));
  // a and b were either run whole or dropped whole, never half.
  for (const char* name : {"a", "b"})
    EXPECT_EQ(log.count(std::string(name) + " prepare"), log.count(std::string(name) + " dismiss"));
}

}  // namespace

// Strands on the worker pool: a turn runs what was queued in order, tasks posted meanwhile follow,
// and a batch of submissions starts only when it ends. The pool keeps its first workers to a CPU
// each and never loses a task to a worker that was about to sleep.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <latch>
#include <mutex>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "framework/substrate/MRKCStrand.h"

namespace {

// What tasks did, in the order they did it.
struct Trail {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<int> steps;

  void add(int step) {
    std::lock_guard lock(mutex);
    steps.push_back(step);
    changed.notify_all();
  }
  bool waitForCount(size_t count) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(10), [&] { return steps.size() >= count; });
  }
};

class Step : public LLKBObject {
public:
  Step(Trail& trail, int step) : trail_(trail), step_(step) {}
  static void run(LLKBObject* first, LLKBObject*) {
    static_cast<Step*>(first)->trail_.add(static_cast<Step*>(first)->step_);
  }

private:
  Trail& trail_;
  int step_;
};

TEST(Strand, RunsClosuresAndCallsInOrderAndWhatTheyPostAfter) {
  auto pool = std::make_shared<MRKCWorkerPool>(2);
  Ref<MRKCStrand> strand = MRKCStrand::strand();
  Trail trail;
  // Queued before the strand is bound, they run in order once it is.
  for (int i = 0; i < 300; ++i) {
    if (i % 2)
      strand->post([&trail, i, strand = strand.get()] {
        trail.add(i);
        if (i == 1) strand->post([&trail] { trail.add(1000); });  // after everything queued so far
      });
    else strand->post(&Step::run, makeRef<Step>(trail, i), nullptr);
  }
  strand->bind(pool);
  ASSERT_TRUE(trail.waitForCount(301));
  std::vector<int> expected;
  for (int i = 0; i < 300; ++i) expected.push_back(i);
  expected.push_back(1000);
  {
    std::lock_guard lock(trail.mutex);
    EXPECT_EQ(trail.steps, expected);
  }
  pool->stop();  // before the strand goes: its last reference must not end on a worker
}

TEST(WorkerPool, ABatchStartsItsTasksWhenItEnds) {
  MRKCWorkerPool pool(2);
  Trail trail;
  {
    MRKCWorkerPool::Batch batch(&pool);
    for (int i = 0; i < 5; ++i) pool.submit([&trail, i] { trail.add(i); });
    {
      MRKCWorkerPool::Batch inner(&pool);  // passes its tasks to the outer batch
      pool.submit([&trail] { trail.add(5); });
    }
    std::lock_guard lock(trail.mutex);
    EXPECT_TRUE(trail.steps.empty()) << "held until the batch ends";
  }
  EXPECT_TRUE(trail.waitForCount(6));
  MRKCWorkerPool other(1);
  {
    MRKCWorkerPool::Batch batch(&pool);
    other.submit([&trail] { trail.add(6); });  // another pool's submissions are not held
    EXPECT_TRUE(trail.waitForCount(7));
  }
  pool.stop();
  other.stop();
}

// A processor keeps its strand and a task on the strand keeps the processor: when the pool stops
// before the strand's turn came, the strand drops its tasks, so the pair does not outlive
// everything else (a leak at every exit that closed a view the moment before).
TEST(WorkerPool, AStoppedPoolLeavesNoStrandHoldingWhatHoldsIt) {
  class Holder : public LLKBObject {
  public:
    explicit Holder(bool& gone) : gone_(gone) {}
    ~Holder() override { gone_ = true; }
    Ref<MRKCStrand> strand = MRKCStrand::strand();

  private:
    bool& gone_;
  };
  for (const bool batched : {false, true}) {
    bool gone = false, ran = false;
    {
      auto pool = std::make_shared<MRKCWorkerPool>(0);  // nothing runs the turn
      Ref<Holder> holder = makeRef<Holder>(gone);
      holder->strand->bind(pool);
      {
        MRKCWorkerPool::Batch batch(batched ? pool.get() : nullptr);
        holder->strand->post([held = holder, &ran] { ran = true; });
      }
      pool->stop();
      holder->strand->post([held = holder, &ran] { ran = true; });  // refused by the stopped pool
    }
    EXPECT_TRUE(gone) << (batched ? "batched" : "posted");
    EXPECT_FALSE(ran);
  }
}

TEST(WorkerPool, AWaiterWhoseTaskAStoppingPoolDropsIsToldItDidNotRun) {
  auto pool = std::make_shared<MRKCWorkerPool>(0);  // nothing runs the turn
  Ref<MRKCStrand> strand = MRKCStrand::strand();
  strand->bind(pool);
  bool ran = false;
  std::promise<bool> answer;
  std::thread waiter([&] { answer.set_value(strand->runAndWait([&] { ran = true; })); });
  // Stopping before the waiter queued its task is the same case told by the refusing pool.
  pool->stop();
  std::future<bool> told = answer.get_future();
  ASSERT_EQ(told.wait_for(std::chrono::seconds(10)), std::future_status::ready) << "the waiter hangs";
  EXPECT_FALSE(told.get());
  EXPECT_FALSE(ran);
  waiter.join();
}

std::set<int> cpusOf(pthread_t thread) {
  cpu_set_t set;
  CPU_ZERO(&set);
  std::set<int> cpus;
  if (pthread_getaffinity_np(thread, sizeof set, &set) != 0) return cpus;
  for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
    if (CPU_ISSET(cpu, &set)) cpus.insert(cpu);
  return cpus;
}

TEST(WorkerPool, EachWorkerUpToTheCpuCountIsKeptToACpuOfItsOwnAndTheRestRunAnywhere) {
  const std::set<int> allowed = cpusOf(pthread_self());
  ASSERT_FALSE(allowed.empty());
  const size_t workers = allowed.size() + 1;
  MRKCWorkerPool pool(workers);
  // Every worker takes one task and holds it until all have theirs: each reports its own CPUs.
  std::latch allBusy(static_cast<std::ptrdiff_t>(workers));
  std::mutex mutex;
  std::vector<std::set<int>> reported;
  for (size_t i = 0; i < workers; ++i)
    pool.submit([&] {
      {
        std::lock_guard lock(mutex);
        reported.push_back(cpusOf(pthread_self()));
      }
      allBusy.arrive_and_wait();
    });
  allBusy.wait();
  pool.stop();

  std::set<int> kept;
  size_t free = 0;
  for (const auto& cpus : reported) {
    if (cpus == allowed && allowed.size() > 1) {
      ++free;
    } else if (cpus.size() == 1) {
      EXPECT_TRUE(kept.insert(*cpus.begin()).second) << "two workers on one CPU";
    } else {
      ADD_FAILURE() << "a worker kept to " << cpus.size() << " of " << allowed.size() << " CPUs";
    }
  }
  EXPECT_EQ(kept, allowed) << "one worker kept to each CPU the process may use";
  EXPECT_EQ(free, allowed.size() > 1 ? 1u : 0u) << "the worker beyond the CPU count runs anywhere";
}

// A worker that ran out of tasks stays awake a moment before it sleeps; a task submitted as that
// moment ends must still be run at once, not when some later task wakes a worker. The test waits
// awake too, so that its submissions land all over that moment.
TEST(WorkerPool, ATaskSubmittedAsTheLastWorkerGoesToSleepStillRuns) {
  using Clock = std::chrono::steady_clock;
  MRKCWorkerPool pool(2);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pause(0, 80);  // microseconds, around the awake moment
  for (int i = 0; i < 3000; ++i) {
    std::atomic<bool> done = false;
    pool.submit([&done] { done.store(true); });
    const auto limit = Clock::now() + std::chrono::seconds(5);
    while (!done.load() && Clock::now() < limit) std::this_thread::yield();
    ASSERT_TRUE(done.load()) << "task " << i << " was lost";
    const auto until = Clock::now() + std::chrono::microseconds(pause(random));
    while (Clock::now() < until) {}
  }
  pool.stop();
}

}  // namespace

// Strands on the worker pool: a turn runs what was queued in order, tasks posted meanwhile follow,
// and a batch of submissions starts only when it ends.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
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

}  // namespace

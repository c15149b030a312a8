#pragma once
// The substrate's worker threads. Tasks run in submission order on whichever worker is free.
// A worker about to block on other tasks (a synchronous call into another processor) calls
// blocking() first, so that a spare worker takes its place and the pool never starves.
//
// Waking a thread costs more than most tasks: a burst of submissions wakes one idle worker, and
// each worker that takes a task while more wait wakes the next. The last worker to run out of
// tasks stays awake a moment (50 µs) before it sleeps, so that an answer or the next message of a
// conversation costs no wake-up at all.
//
// Each of the first workers, one per CPU the process may use, is kept to its own CPU: left free,
// the kernel puts a woken worker on the CPU of the one that woke it whenever it judges the idle
// CPUs unavailable (as it does for a virtual machine's idle CPUs), and a broadcast to a thousand
// processors then ran on one or two CPUs for milliseconds while the rest slept. Spare workers,
// and workers beyond the CPU count, run anywhere.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class MRKCWorkerPool {
public:
  explicit MRKCWorkerPool(size_t workers);
  ~MRKCWorkerPool();

  // Ignored once stopped.
  void submit(std::function<void()> task);
  // Joins the workers after their running tasks; queued tasks are dropped.
  void stop();
  // True on one of this pool's workers.
  bool isWorker() const;

  // While alive, the calling thread's submissions to the pool are held and go in together, under
  // one lock and with one wake-up, when it ends: a message to many processors starts their
  // strands at once. Batches do not nest; an inner one passes its tasks to the outer.
  class Batch {
  public:
    explicit Batch(MRKCWorkerPool* pool);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

  private:
    MRKCWorkerPool* pool_;  // null for an inner batch
    std::vector<std::function<void()>> held_;
    friend class MRKCWorkerPool;
  };

  // Marks the calling worker as blocked until the returned guard is gone.
  class Blocking {
  public:
    explicit Blocking(MRKCWorkerPool* pool);
    ~Blocking();
    Blocking(const Blocking&) = delete;
    Blocking& operator=(const Blocking&) = delete;

  private:
    MRKCWorkerPool* pool_;
  };

private:
  void work();
  void spawnLocked();
  // Wakes an idle worker unless one is already on its way; called with the lock held.
  bool wakeOneLocked();
  // Waits awake, unlocked, a moment for a task to be queued. Called with the lock held, which it
  // lets go meanwhile: the caller looks at the queue again.
  void spinFor(std::unique_lock<std::mutex>& lock);

  const std::vector<int> cpus_;  // the CPUs the first workers are kept to, one each
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  std::vector<std::thread> threads_;
  size_t idle_ = 0;                // workers asleep on wake_
  size_t waking_ = 0;              // of those, woken and not yet running
  size_t spinning_ = 0;            // awake without a task, watching queued_ (at most one)
  std::atomic<size_t> queued_{0};  // tasks_.size(), readable without the lock
  size_t blocked_ = 0;
  bool stopping_ = false;
};

#pragma once
// The substrate's worker threads. Tasks run in submission order on whichever worker is free.
// A worker about to block on other tasks (a synchronous call into another processor) calls
// blocking() first, so that a spare worker takes its place and the pool never starves.
//
// Waking a thread costs more than most tasks: a burst of submissions wakes one idle worker, and
// each worker that takes a task while more wait wakes the next.
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

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  std::vector<std::thread> threads_;
  size_t idle_ = 0;    // workers asleep on wake_
  size_t waking_ = 0;  // of those, woken and not yet running
  size_t blocked_ = 0;
  bool stopping_ = false;
};

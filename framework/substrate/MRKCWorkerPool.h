#pragma once
// The substrate's worker threads. Tasks run in submission order on whichever worker is free.
// A worker about to block on other tasks (a synchronous call into another processor) calls
// blocking() first, so that a spare worker takes its place and the pool never starves.
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

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  std::vector<std::thread> threads_;
  size_t idle_ = 0;
  size_t blocked_ = 0;
  bool stopping_ = false;
};

#include "framework/substrate/MRKCWorkerPool.h"

#include "framework/core/LLKFLog.h"

namespace {
thread_local const MRKCWorkerPool* currentPool = nullptr;
thread_local MRKCWorkerPool::Batch* currentBatch = nullptr;
}  // namespace

MRKCWorkerPool::MRKCWorkerPool(size_t workers) {
  std::lock_guard lock(mutex_);
  for (size_t i = 0; i < workers; ++i) spawnLocked();
}

MRKCWorkerPool::~MRKCWorkerPool() { stop(); }

void MRKCWorkerPool::stop() {
  std::vector<std::thread> threads;
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    threads.swap(threads_);
    dropped.swap(tasks_);
  }
  wake_.notify_all();
  for (auto& thread : threads) {
    if (thread.get_id() == std::this_thread::get_id())
      thread.detach();  // stopped from one of its own tasks: that worker ends after it
    else thread.join();
  }
}

void MRKCWorkerPool::spawnLocked() {
  threads_.emplace_back([this] { work(); });
}

void MRKCWorkerPool::submit(std::function<void()> task) {
  if (currentBatch && currentBatch->pool_ == this) {
    currentBatch->held_.push_back(std::move(task));
    return;
  }
  bool wake;
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    tasks_.push_back(std::move(task));
    wake = wakeOneLocked();
  }
  if (wake) wake_.notify_one();
}

bool MRKCWorkerPool::wakeOneLocked() {
  // A busy worker takes the task when it is done; a woken one passes the rest on.
  if (idle_ == waking_ || waking_ > 0) return false;
  ++waking_;
  return true;
}

bool MRKCWorkerPool::isWorker() const { return currentPool == this; }

void MRKCWorkerPool::work() {
  currentPool = this;
  std::unique_lock lock(mutex_);
  for (;;) {
    while (tasks_.empty() && !stopping_) {
      ++idle_;
      wake_.wait(lock);
      --idle_;
      if (waking_ > 0) --waking_;  // this one, or one that woke by itself: either way one fewer to come
    }
    if (stopping_) return;
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    bool wake = !tasks_.empty() && wakeOneLocked();  // pass the burst on
    lock.unlock();
    if (wake) wake_.notify_one();
    // The out-of-memory boundary of worker jobs (the rule is written at MRKCStrand::drain).
    try {
      task();
    } catch (...) {
      LLKFLog("substrate : a task failed with an exception");
    }
    task = nullptr;  // release what it held outside the lock
    lock.lock();
  }
}

MRKCWorkerPool::Batch::Batch(MRKCWorkerPool* pool) : pool_(currentBatch ? nullptr : pool) {
  if (pool_) currentBatch = this;
}

MRKCWorkerPool::Batch::~Batch() {
  if (!pool_) return;
  currentBatch = nullptr;
  if (held_.empty()) return;
  bool wake;
  {
    std::lock_guard lock(pool_->mutex_);
    if (pool_->stopping_) return;
    for (auto& task : held_) pool_->tasks_.push_back(std::move(task));
    wake = pool_->wakeOneLocked();
  }
  if (wake) pool_->wake_.notify_one();
}

MRKCWorkerPool::Blocking::Blocking(MRKCWorkerPool* pool) : pool_(pool && pool->isWorker() ? pool : nullptr) {
  if (!pool_) return;
  std::lock_guard lock(pool_->mutex_);
  ++pool_->blocked_;
  if (pool_->idle_ == 0 && !pool_->stopping_) pool_->spawnLocked();
}

MRKCWorkerPool::Blocking::~Blocking() {
  if (!pool_) return;
  std::lock_guard lock(pool_->mutex_);
  --pool_->blocked_;
}

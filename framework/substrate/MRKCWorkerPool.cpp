#include "framework/substrate/MRKCWorkerPool.h"

#include "framework/core/LLKFLog.h"

namespace {
thread_local const MRKCWorkerPool* currentPool = nullptr;
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
    else
      thread.join();
  }
}

void MRKCWorkerPool::spawnLocked() { threads_.emplace_back([this] { work(); }); }

void MRKCWorkerPool::submit(std::function<void()> task) {
  bool someoneWaits;
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    tasks_.push_back(std::move(task));
    someoneWaits = idle_ > 0;  // a busy worker takes the task when it is done
  }
  if (someoneWaits) wake_.notify_one();
}

bool MRKCWorkerPool::isWorker() const { return currentPool == this; }

void MRKCWorkerPool::work() {
  currentPool = this;
  std::unique_lock lock(mutex_);
  for (;;) {
    ++idle_;
    wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
    --idle_;
    if (stopping_) return;
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    lock.unlock();
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

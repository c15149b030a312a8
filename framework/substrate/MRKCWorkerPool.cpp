#include "framework/substrate/MRKCWorkerPool.h"

#include <pthread.h>
#include <sched.h>

#include <chrono>

#include "framework/core/LLKFLog.h"

namespace {
thread_local const MRKCWorkerPool* currentPool = nullptr;
thread_local MRKCWorkerPool::Batch* currentBatch = nullptr;

// How long the last worker to run out of tasks stays awake for the next one: a reply that follows
// a message within this time costs no wake-up.
constexpr std::chrono::microseconds kSpin{50};

void relax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

// The CPUs this process may run on, in order; empty when they cannot be read.
std::vector<int> allowedCpus() {
  cpu_set_t set;
  CPU_ZERO(&set);
  std::vector<int> cpus;
  if (sched_getaffinity(0, sizeof set, &set) != 0) return cpus;
  for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
    if (CPU_ISSET(cpu, &set)) cpus.push_back(cpu);
  return cpus;
}
}  // namespace

MRKCWorkerPool::MRKCWorkerPool(size_t workers) : cpus_(allowedCpus()) {
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
    queued_.store(0, std::memory_order_release);
  }
  wake_.notify_all();
  for (auto& thread : threads) {
    if (thread.get_id() == std::this_thread::get_id())
      thread.detach();  // stopped from one of its own tasks: that worker ends after it
    else thread.join();
  }
}

void MRKCWorkerPool::spawnLocked() {
  const size_t index = threads_.size();
  threads_.emplace_back([this] { work(); });
  if (index >= cpus_.size()) return;  // a spare: free to run anywhere
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(cpus_[index], &set);
  if (pthread_setaffinity_np(threads_.back().native_handle(), sizeof set, &set) != 0)
    LLKFLog("substrate : worker %zu could not be kept to CPU %d", index, cpus_[index]);
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
    queued_.store(tasks_.size(), std::memory_order_release);
    wake = wakeOneLocked();
  }
  if (wake) wake_.notify_one();
}

bool MRKCWorkerPool::wakeOneLocked() {
  // A busy worker takes the task when it is done, a spinning one at once; a woken one passes the
  // rest on.
  if (spinning_ > 0 || idle_ == waking_ || waking_ > 0) return false;
  ++waking_;
  return true;
}

void MRKCWorkerPool::spinFor(std::unique_lock<std::mutex>& lock) {
  ++spinning_;
  lock.unlock();
  const auto until = std::chrono::steady_clock::now() + kSpin;
  for (unsigned turn = 1; queued_.load(std::memory_order_acquire) == 0; ++turn) {
    relax();
    if (turn % 64 == 0 && std::chrono::steady_clock::now() >= until) break;
  }
  lock.lock();
  --spinning_;
}

bool MRKCWorkerPool::isWorker() const { return currentPool == this; }

void MRKCWorkerPool::work() {
  currentPool = this;
  std::unique_lock lock(mutex_);
  for (;;) {
    for (bool spun = false; tasks_.empty() && !stopping_;) {
      if (!spun && spinning_ == 0) {
        spun = true;
        spinFor(lock);
        continue;  // the lock was let go: look again
      }
      ++idle_;
      wake_.wait(lock);
      --idle_;
      if (waking_ > 0) --waking_;  // this one, or one that woke by itself: either way one fewer to come
    }
    if (stopping_) return;
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    queued_.store(tasks_.size(), std::memory_order_release);
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
    pool_->queued_.store(pool_->tasks_.size(), std::memory_order_release);
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

#include "framework/core/LLKCScheduler.h"

#include "framework/core/LLKFLog.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <system_error>

// The state the threads share. Each thread holds it, so it outlives the scheduler object when
// the last reference to the scheduler goes on one of the pool's threads.
struct LLKCScheduler::Pool {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<Ref<LLKBOperation>> waiting;
  uint32_t capacity = 0;
  bool stopping = false;
};

namespace {

void runOperation(LLKBOperation& operation) {
  try {
    operation.onPrepare();
    operation.onExecute();
    operation.onDismiss();
  } catch (const std::exception& error) {
    LLKFLog("LLKCScheduler : an operation failed : %s", error.what());
  } catch (...) {
    LLKFLog("LLKCScheduler : an operation failed : it threw something that is not a std::exception");
  }
}

}  // namespace

Ref<LLKCScheduler> LLKCScheduler::schedulerWithSetup(const LLKTSchedulerSetup& setup) {
  Ref<LLKCScheduler> scheduler = adoptRef(new LLKCScheduler());
  try {
    scheduler->pool_ = std::make_shared<Pool>();
    scheduler->pool_->capacity = setup.capacity;
    uint32_t count = setup.threads ? setup.threads : 1;
    for (uint32_t i = 0; i < count; ++i)
      scheduler->threads_.emplace_back([pool = scheduler->pool_] {
        while (true) {
          Ref<LLKBOperation> operation;
          {
            std::unique_lock lock(pool->mutex);
            pool->wake.wait(lock, [&] { return pool->stopping || !pool->waiting.empty(); });
            if (pool->stopping) return;
            operation = std::move(pool->waiting.front());
            pool->waiting.pop_front();
          }
          runOperation(*operation);
        }
      });
  } catch (const std::exception&) {
    return nullptr;  // the destructor stops the threads already made
  }
  return scheduler;
}

bool LLKCScheduler::submit(Ref<LLKBOperation> operation) {
  if (!operation || !pool_) return false;
  std::lock_guard lock(pool_->mutex);
  if (pool_->stopping || (pool_->capacity && pool_->waiting.size() >= pool_->capacity)) return false;
  try {
    pool_->waiting.push_back(std::move(operation));
  } catch (const std::bad_alloc&) {
    return false;
  }
  pool_->wake.notify_one();
  return true;
}

size_t LLKCScheduler::pending() const {
  if (!pool_) return 0;
  std::lock_guard lock(pool_->mutex);
  return pool_->waiting.size();
}

void LLKCScheduler::stopAndJoin() {
  if (!pool_) return;
  std::deque<Ref<LLKBOperation>> dropped;
  {
    std::lock_guard lock(pool_->mutex);
    pool_->stopping = true;
    dropped.swap(pool_->waiting);
    pool_->wake.notify_all();
  }
  for (std::thread& thread : threads_) {
    if (!thread.joinable()) continue;
    if (thread.get_id() == std::this_thread::get_id())
      thread.detach();  // holds the pool, touches nothing else, and ends after this operation
    else thread.join();
  }
}

LLKCScheduler::~LLKCScheduler() { stopAndJoin(); }

#include "framework/substrate/MRKCStrand.h"

#include <condition_variable>

#include "framework/core/LLKFLog.h"

namespace {
// Tasks run per turn, at least, before the strand yields its worker to other strands.
constexpr size_t kTurn = 256;
}  // namespace

void MRKCStrand::Task::run() {
  if (function) function();
  else call(first.get(), second.get());
}

void MRKCStrand::post(std::function<void()> task) {
  std::lock_guard lock(mutex_);
  tasks_.push_back({std::move(task), nullptr, nullptr, nullptr});
  startLocked();
}

void MRKCStrand::post(Call call, Ref<LLKBObject> first, Ref<LLKBObject> second) {
  std::lock_guard lock(mutex_);
  tasks_.push_back({nullptr, call, std::move(first), std::move(second)});
  startLocked();
}

void MRKCStrand::bind(std::shared_ptr<MRKCWorkerPool> pool) {
  std::lock_guard lock(mutex_);
  pool_ = std::move(pool);
  startLocked();
}

void MRKCStrand::startLocked() {
  if (running_ || !pool_ || tasks_.empty()) return;
  running_ = true;
  pool_->submit([self = Ref<MRKCStrand>(this)] { self->drain(); });
}

void MRKCStrand::drain() {
  for (size_t done = 0; done < kTurn;) {
    {
      std::lock_guard lock(mutex_);
      if (tasks_.empty() || !pool_) {
        running_ = false;
        return;
      }
      batch_.swap(tasks_);  // tasks_ takes the emptied batch's storage: no allocation
    }
    runner_.store(std::this_thread::get_id());
    // Every hook runs here. Running out of memory, like any other exception, ends the hook
    // (logged) and the strand goes on with the next task; so does a worker job in the pool,
    // the offloader and a looper. Code that runs only inside these boundaries catches
    // bad_alloc itself only to undo a half-made change or when failing is the answer it gives
    // (a factory's null); core kit calls, which also run outside them, answer null or false.
    for (Task& task : batch_) {
      try {
        task.run();
      } catch (...) {
        LLKFLog("substrate : a processor's task failed with an exception");
      }
      task = Task();  // release what it held before the next one runs
    }
    runner_.store(std::thread::id());
    done += batch_.size();
    batch_.clear();
  }
  std::lock_guard lock(mutex_);
  running_ = false;
  startLocked();
}

bool MRKCStrand::runAndWait(std::function<void()> task) {
  if (isCurrent()) {
    task();
    return true;
  }
  struct Done {
    std::mutex mutex;
    std::condition_variable signal;
    bool done = false;
  };
  auto done = std::make_shared<Done>();
  std::shared_ptr<MRKCWorkerPool> pool;
  {
    std::lock_guard lock(mutex_);
    if (!pool_) return false;
    pool = pool_;
    tasks_.push_back({[task = std::move(task), done] {
                        struct Signal {
                          std::shared_ptr<Done> done;
                          ~Signal() {
                            std::lock_guard lock(done->mutex);
                            done->done = true;
                            done->signal.notify_all();
                          }
                        } signal{done};
                        task();
                      },
                      nullptr, nullptr, nullptr});
    startLocked();
  }
  MRKCWorkerPool::Blocking blocking(pool.get());
  std::unique_lock lock(done->mutex);
  done->signal.wait(lock, [&] { return done->done; });
  return true;
}

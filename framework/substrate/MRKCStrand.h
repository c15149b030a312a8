#pragma once
// A queue of tasks that run one at a time, in order, on the worker pool: each processor has one,
// so its hooks and timers never overlap. Tasks posted before the strand is bound to a pool wait
// until it is.
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "framework/core/LLKBObject.h"
#include "framework/substrate/MRKCWorkerPool.h"

class MRKCStrand : public LLKBObject {
public:
  [[nodiscard]] static Ref<MRKCStrand> strand() { return adoptRef(new MRKCStrand()); }

  void post(std::function<void()> task);
  void bind(std::shared_ptr<MRKCWorkerPool> pool);
  // True while the calling thread runs one of this strand's tasks.
  bool isCurrent() const { return runner_.load() == std::this_thread::get_id(); }
  // Runs the task on the strand and waits for it; inline when already on the strand. False
  // when the strand is not bound (the task is then dropped).
  bool runAndWait(std::function<void()> task);

private:
  MRKCStrand() = default;
  void startLocked();
  void drain();

  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
  std::shared_ptr<MRKCWorkerPool> pool_;
  bool running_ = false;
  std::atomic<std::thread::id> runner_{};
};

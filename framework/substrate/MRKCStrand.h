#pragma once
// A queue of tasks that run one at a time, in order, on the worker pool: each processor has one,
// so its hooks and timers never overlap. Tasks posted before the strand is bound to a pool wait
// until it is. One turn on a worker runs every task queued by then, in a batch: a busy strand
// takes its worker once, not once per task. When the pool stops with the strand's turn still
// queued, the strand's tasks are dropped unrun (and whatever they hold let go).
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/core/LLKBObject.h"
#include "framework/substrate/MRKCWorkerPool.h"

class MRKCStrand : public LLKBObject {
public:
  [[nodiscard]] static Ref<MRKCStrand> strand() { return adoptRef(new MRKCStrand()); }

  void post(std::function<void()> task);
  // A task without a closure: call(first, second), which the strand keeps alive until it ran.
  // Posting it allocates nothing once the strand's queue has grown to its usual length.
  using Call = void (*)(LLKBObject* first, LLKBObject* second);
  void post(Call call, Ref<LLKBObject> first, Ref<LLKBObject> second);
  void bind(std::shared_ptr<MRKCWorkerPool> pool);
  // True while the calling thread runs one of this strand's tasks.
  bool isCurrent() const { return runner_.load() == std::this_thread::get_id(); }
  // True while some thread runs one of this strand's tasks.
  bool isRunning() const { return runner_.load() != std::thread::id(); }
  // Runs the task on the strand and waits for it; inline when already on the strand. False
  // when the task did not run to its end: the strand is not bound, the pool stopped before its
  // turn, or the task threw.
  bool runAndWait(std::function<void()> task);

private:
  struct Task {
    std::function<void()> function;  // or, when empty, call
    Call call = nullptr;
    Ref<LLKBObject> first;
    Ref<LLKBObject> second;
    void run();
  };

  class Turn;

  MRKCStrand() = default;
  // Marks the strand running and answers the pool to submit its turn to, or null when it runs
  // already, has nothing queued or no pool. The caller submits after letting go of the lock: a
  // turn the pool refuses lets go of the strand's tasks, which takes the lock.
  std::shared_ptr<MRKCWorkerPool> claimTurnLocked();
  void submitTurn(MRKCWorkerPool& pool);
  void drain();
  // Drops every queued task; the strand runs again on the next post.
  void abandon();

  std::mutex mutex_;
  std::vector<Task> tasks_;  // queued, in order
  std::vector<Task> batch_;  // the turn's tasks: touched only by the running drain
  std::shared_ptr<MRKCWorkerPool> pool_;
  bool running_ = false;
  std::atomic<std::thread::id> runner_{};
};

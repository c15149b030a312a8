#include "framework/substrate/MRKCStrand.h"

#include <condition_variable>

#include "framework/core/LLKFLog.h"

namespace {
// Tasks run per turn, at least, before the strand yields its worker to other strands.
constexpr size_t kTurn = 256;
}  // namespace

// The strand's place in the pool's queue. A pool that stops drops the turns still queued without
// running them: the strand then lets go of its tasks, which may hold its own processor (that holds
// the strand), so no processor is left alive in a cycle when the process ends.
class MRKCStrand::Turn {
public:
  explicit Turn(Ref<MRKCStrand> strand) : strand_(std::move(strand)) {}
  ~Turn() {
    if (strand_) strand_->abandon();
  }
  Turn(const Turn&) = delete;
  Turn& operator=(const Turn&) = delete;

  void run() {
    Ref<MRKCStrand> strand = std::move(strand_);
    strand->drain();
  }

private:
  Ref<MRKCStrand> strand_;
};

void MRKCStrand::Task::run() {
  if (function) function();
  else call(first.get(), second.get());
}

void MRKCStrand::post(std::function<void()> task) {
  std::shared_ptr<MRKCWorkerPool> pool;
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back({std::move(task), nullptr, nullptr, nullptr});
    pool = claimTurnLocked();
  }
  if (pool) submitTurn(*pool);
}

void MRKCStrand::post(Call call, Ref<LLKBObject> first, Ref<LLKBObject> second) {
  std::shared_ptr<MRKCWorkerPool> pool;
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back({nullptr, call, std::move(first), std::move(second)});
    pool = claimTurnLocked();
  }
  if (pool) submitTurn(*pool);
}

void MRKCStrand::bind(std::shared_ptr<MRKCWorkerPool> pool) {
  std::shared_ptr<MRKCWorkerPool> start;
  {
    std::lock_guard lock(mutex_);
    pool_ = std::move(pool);
    start = claimTurnLocked();
  }
  if (start) submitTurn(*start);
}

std::shared_ptr<MRKCWorkerPool> MRKCStrand::claimTurnLocked() {
  if (running_ || !pool_ || tasks_.empty()) return nullptr;
  running_ = true;
  return pool_;
}

void MRKCStrand::submitTurn(MRKCWorkerPool& pool) {
  pool.submit([turn = std::make_shared<Turn>(Ref<MRKCStrand>(this))] { turn->run(); });
}

void MRKCStrand::abandon() {
  std::vector<Task> dropped;
  {
    std::lock_guard lock(mutex_);
    dropped.swap(tasks_);
    running_ = false;
  }
}  // the dropped tasks let go of what they hold here, outside the lock

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
    // the offloader, a looper's task and its periodic and idle hooks (a window's beat). This is
    // where allocation failure is handled: objects are made with makeRef (adoptRef(new T) behind
    // a private constructor), never new (std::nothrow), and a Ref so made is never null. Code
    // below these boundaries catches bad_alloc only to undo a half-made change, where a
    // documented result says "no memory" (a container's ENOMEM, a C interface's result code),
    // or where an exception must not cross C code (a GLFW callback); a reader of outside input
    // checks sizes before it allocates rather than catching.
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
  std::shared_ptr<MRKCWorkerPool> pool;
  {
    std::lock_guard lock(mutex_);
    running_ = false;
    pool = claimTurnLocked();
  }
  if (pool) submitTurn(*pool);
}

bool MRKCStrand::runAndWait(std::function<void()> task) {
  if (isCurrent()) {
    task();
    return true;
  }
  struct Done {
    std::mutex mutex;
    std::condition_variable signal;
    bool finished = false;
    bool ran = false;
  };
  // Signals when the task is let go of: after it ran, or unrun when a stopping pool drops it, so
  // the caller never waits for a task that will not come.
  struct Signal {
    explicit Signal(std::shared_ptr<Done> toSignal) : done(std::move(toSignal)) {}
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;
    ~Signal() {
      std::lock_guard lock(done->mutex);
      done->finished = true;
      done->signal.notify_all();
    }
    std::shared_ptr<Done> done;
  };
  auto done = std::make_shared<Done>();
  std::shared_ptr<MRKCWorkerPool> pool, start;
  {
    std::lock_guard lock(mutex_);
    if (!pool_) return false;
    pool = pool_;
    tasks_.push_back({[task = std::move(task), signal = std::make_shared<Signal>(done)] {
                        task();
                        std::lock_guard noted(signal->done->mutex);
                        signal->done->ran = true;
                      },
                      nullptr, nullptr, nullptr});
    start = claimTurnLocked();
  }
  if (start) submitTurn(*start);
  MRKCWorkerPool::Blocking blocking(pool.get());
  std::unique_lock lock(done->mutex);
  done->signal.wait(lock, [&] { return done->finished; });
  return done->ran;
}

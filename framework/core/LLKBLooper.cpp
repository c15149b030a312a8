#include "framework/core/LLKBLooper.h"

#include "framework/core/LLKFLog.h"
#include "framework/core/LLKFSystem.h"

#include <system_error>
#include <utility>
#include <vector>

namespace {

// The out-of-memory boundary of a looper: what a task or the periodic and idle hooks throw (a
// window's beat, its input and frames among them) ends that one call (logged) and the loop goes
// on; the substrate's hooks and worker jobs follow the same rule (MRKCStrand::drain). A hook that
// failed answers false.
template <typename Work>
bool runWithinBoundary(Work&& work) {
  try {
    return work();
  } catch (const std::exception& error) {
    LLKFLog("LLKBLooper : a task failed : %s", error.what());
  } catch (...) {
    LLKFLog("LLKBLooper : a task failed : it threw something that is not a std::exception");
  }
  return false;
}

}  // namespace

LLKBLooper::~LLKBLooper() {
  // The loop holds a reference while it runs, so it has ended here. When the last reference
  // went on the loop's own thread, that thread is on its way out and cannot join itself.
  if (thread_.joinable()) {
    if (thread_.get_id() == std::this_thread::get_id()) thread_.detach();
    else thread_.join();
  }
}

bool LLKBLooper::start() {
  std::unique_lock lock(mutex_);
  if (state_ != State::idle || stopRequested_) return false;
  state_ = State::running;
  try {
    thread_ = std::thread([self = Ref<LLKBLooper>(this)] { self->loop(); });
  } catch (const std::system_error&) {
    state_ = State::stopped;
    return false;
  }
  started_.wait(lock, [this] { return uid_.load() != 0; });
  return true;
}

bool LLKBLooper::startSync() {
  {
    std::lock_guard lock(mutex_);
    if (state_ != State::idle || stopRequested_) return false;
    state_ = State::running;
  }
  Ref<LLKBLooper> self(this);  // a hook may release the last outside reference
  loop();
  return true;
}

void LLKBLooper::stop() {
  std::lock_guard lock(mutex_);
  stopRequested_ = true;
  wake_.notify_all();
  interruptWait();
}

void LLKBLooper::join() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void LLKBLooper::stopAndJoin() {
  stop();
  join();
}

bool LLKBLooper::stopAndJoinWithin(std::chrono::milliseconds grace) {
  stop();
  {
    std::unique_lock lock(mutex_);
    if (state_ == State::running && !ended_.wait_for(lock, grace, [this] { return state_ != State::running; })) {
      if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.detach();
      return false;
    }
  }
  join();
  return true;
}

bool LLKBLooper::stopping() const {
  std::lock_guard lock(mutex_);
  return stopRequested_;
}

bool LLKBLooper::isRunning() const {
  std::lock_guard lock(mutex_);
  return state_ == State::running;
}

bool LLKBLooper::isLoopThread() const {
  std::lock_guard lock(mutex_);
  return state_ != State::idle && loopThread_ == std::this_thread::get_id();
}

bool LLKBLooper::enqueue(std::function<void()> task, bool whileRunning) {
  if (!task) return false;
  std::lock_guard lock(mutex_);
  if (stopRequested_ || state_ == State::stopped || (whileRunning && state_ != State::running)) return false;
  try {
    tasks_.push_back(std::move(task));
  } catch (const std::bad_alloc&) {
    return false;
  }
  wake_.notify_all();
  interruptWait();
  return true;
}

bool LLKBLooper::post(Ref<LLKCMessage> message) {
  if (!message) return false;
  return enqueue([this, message = std::move(message)] { onMessaged(message); });
}

bool LLKBLooper::sched(std::function<void()> task) { return enqueue(std::move(task)); }

bool LLKBLooper::sched(std::function<void()> task, uint32_t afterMs) {
  if (!task) return false;
  std::lock_guard lock(mutex_);
  if (stopRequested_ || state_ == State::stopped) return false;
  try {
    timed_.emplace(Clock::now() + std::chrono::milliseconds(afterMs), std::move(task));
  } catch (const std::bad_alloc&) {
    return false;
  }
  wake_.notify_all();
  interruptWait();
  return true;
}

void LLKBLooper::setPeriod(uint32_t periodMs) {
  std::lock_guard lock(mutex_);
  periodMs_ = periodMs;
  periodChanged_ = true;
  wake_.notify_all();
  interruptWait();
}

bool LLKBLooper::waitForWork(std::unique_lock<std::mutex>& lock, Clock::time_point deadline) {
  if (deadline == Clock::time_point::max()) wake_.wait(lock);
  else wake_.wait_until(lock, deadline);
  return false;
}

void LLKBLooper::loop() {
  {
    std::lock_guard lock(mutex_);
    loopThread_ = std::this_thread::get_id();
    uid_ = LLKFGetThreadUid();
  }
  started_.notify_all();
  onStarting();

  Clock::time_point nextPeriod = Clock::now() + std::chrono::milliseconds(periodMs_.load());
  bool again = true;  // the idle hook gets a first call without waiting for work
  std::deque<std::function<void()>> work;
  while (true) {
    {
      std::unique_lock lock(mutex_);
      while (true) {
        if (periodChanged_) {
          periodChanged_ = false;
          nextPeriod = Clock::now() + std::chrono::milliseconds(periodMs_.load());
        }
        Clock::time_point now = Clock::now();
        bool periodDue = periodMs_ > 0 && nextPeriod <= now;
        bool timedDue = !timed_.empty() && timed_.begin()->first <= now;
        if (stopRequested_ || again || !tasks_.empty() || periodDue || timedDue) break;
        Clock::time_point deadline = Clock::time_point::max();
        if (!timed_.empty()) deadline = timed_.begin()->first;
        if (periodMs_ > 0 && nextPeriod < deadline) deadline = nextPeriod;
        if (waitForWork(lock, deadline)) nextPeriod = Clock::now();
      }
      if (stopRequested_) break;
      work.swap(tasks_);
      for (Clock::time_point now = Clock::now(); !timed_.empty() && timed_.begin()->first <= now;) {
        work.push_back(std::move(timed_.begin()->second));
        timed_.erase(timed_.begin());
      }
    }
    for (auto& task : work)
      runWithinBoundary([&task] {
        task();
        return true;
      });
    work.clear();
    uint32_t periodMs = periodMs_.load();
    if (periodMs > 0 && nextPeriod <= Clock::now()) {
      runWithinBoundary([this] {
        onPeriod();
        return true;
      });
      nextPeriod += std::chrono::milliseconds(periodMs);
      // A late loop skips the beats it missed rather than running them back to back.
      if (Clock::time_point now = Clock::now(); nextPeriod <= now)
        nextPeriod = now + std::chrono::milliseconds(periodMs);
    }
    again = runWithinBoundary([this] { return onIdle(); });
  }

  onStopping();
  std::deque<std::function<void()>> dropped;
  std::multimap<Clock::time_point, std::function<void()>> droppedTimed;
  {
    std::lock_guard lock(mutex_);
    state_ = State::stopped;
    dropped.swap(tasks_);
    droppedTimed.swap(timed_);
    ended_.notify_all();
  }
  // Dropped tasks release what they hold here, outside the lock (a waiting sender wakes).
}

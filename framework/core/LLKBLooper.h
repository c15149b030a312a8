#pragma once
// A loop that runs on one thread and does work for other threads: queued messages and tasks,
// tasks due after a delay, an optional periodic hook and an idle hook. The conductor, worker
// and handler are loopers with their own hooks.
//
// Life: start() (own thread) or startSync() (the caller's thread, returns when stopped), then
// onStarting, turns of work, and after stop() onStopping. A looper runs once: after stopping
// it refuses new work and cannot be started again. Work still queued at stop is dropped (its
// objects released). The owner stops and joins it (stopAndJoin); while the loop runs it keeps
// itself alive, so releasing the last outside reference does not stop it.
#include "framework/core/LLKBObject.h"
#include "framework/core/LLKCMessage.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

class LLKBLooper : public LLKBObject {
public:
  ~LLKBLooper() override;

  // Starts the loop on a new thread; false when it already started or the thread cannot be had.
  // On return the loop's uid is known.
  bool start();
  // Runs the loop on the calling thread until stop(); false when it already started.
  bool startSync();
  // Asks the loop to end after its current turn; any thread, any number of times.
  void stop();
  // Waits for the loop's own thread to end; nothing on the loop's thread or after startSync.
  void join();
  void stopAndJoin();
  // Stops the loop and waits for its thread at most grace: true when it ended. A loop still in
  // its turn then (a hook that does not return) is let go: it ends on its own after that turn,
  // keeping itself alive until then, and nothing waits for it any more.
  bool stopAndJoinWithin(std::chrono::milliseconds grace);

  bool isRunning() const;
  // The thread uid (LLKFGetThreadUid) of the loop while it runs or after it ran; 0 before.
  uint64_t getUid() const { return uid_.load(); }
  bool isLoopThread() const;

  // onMessaged with the message on a later turn. False for null or once stopping.
  bool post(Ref<LLKCMessage> message);
  // The task on a later turn (or at least afterMs later). False for an empty task or once
  // stopping. A task keeps alive whatever it captured until it has run or been dropped.
  bool sched(std::function<void()> task);
  bool sched(std::function<void()> task, uint32_t afterMs);

protected:
  LLKBLooper() = default;

  // Whether a stop was asked for: a long hook checks it before it acts on what it found.
  bool stopping() const;

  virtual void onStarting() {}
  virtual void onStopping() {}
  // Answers whether the message was handled.
  virtual bool onMessaged(const Ref<LLKCMessage>& message) { return false; }

  // The periodic hook runs every periodMs while the loop runs; 0 turns it off.
  void setPeriod(uint32_t periodMs);
  uint32_t period() const { return periodMs_.load(); }
  virtual void onPeriod() {}
  // Runs after every turn; true asks for another turn at once instead of waiting for work.
  virtual bool onIdle() { return false; }

  // Queues a task while the looper has not stopped; with whileRunning, only while it runs.
  bool enqueue(std::function<void()> task, bool whileRunning = false);

  // How the loop waits when nothing is due, until the deadline (time_point::max(): none), with
  // the lock held on entry and on return. The default waits for queued work. A looper that
  // also waits on something of its own (a window's events) overrides it with interruptWait;
  // true runs the periodic hook at once.
  virtual bool waitForWork(std::unique_lock<std::mutex>& lock, std::chrono::steady_clock::time_point deadline);
  // Called with the lock held, from any thread, whenever work is queued or a stop asked for.
  virtual void interruptWait() {}

private:
  using Clock = std::chrono::steady_clock;
  enum class State { idle, running, stopped };

  void loop();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable started_;
  std::condition_variable ended_;
  State state_ = State::idle;
  bool stopRequested_ = false;
  bool periodChanged_ = false;
  std::deque<std::function<void()>> tasks_;
  std::multimap<Clock::time_point, std::function<void()>> timed_;
  std::thread thread_;
  std::thread::id loopThread_;
  std::atomic<uint64_t> uid_{0};
  std::atomic<uint32_t> periodMs_{0};
};

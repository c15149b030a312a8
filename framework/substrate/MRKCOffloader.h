#pragma once
// Runs background jobs one at a time, in submission order, on a thread of its own: the
// substrate's loads and wipes of solutions, and processors' long actions.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "framework/core/LLKBObject.h"
#include "framework/core/LLKBOperation.h"

class MRKBProcessor;

class MRKCOffloader : public LLKBObject {
public:
  [[nodiscard]] static Ref<MRKCOffloader> offloader() { return adoptRef(new MRKCOffloader()); }

  // False once stopped.
  bool submit(std::function<void()> job);
  // Runs the operation's onPrepare, onExecute and onDismiss (the workbench's load operations).
  bool submit(Ref<LLKBOperation> operation);
  // Runs the action, then hands it to selector among the processor's hooks (dropped when the
  // processor has been detached by then).
  bool submit(Ref<LLKBOperation> action, MRKBProcessor* notify, std::function<void(LLKBOperation* action)> selector);
  // True on the offloader's thread (a job may not wait for a later job).
  bool isCurrent() const { return std::this_thread::get_id() == thread_.get_id(); }
  // Finishes the running job, drops the queued ones and joins the thread.
  void stop();

private:
  MRKCOffloader();
  ~MRKCOffloader() override;
  void loop();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  bool stopping_ = false;
  std::thread thread_;
};

#include "framework/substrate/MRKCOffloader.h"

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKBProcessor.h"

MRKCOffloader::MRKCOffloader() : thread_([this] { loop(); }) {}

MRKCOffloader::~MRKCOffloader() { stop(); }

bool MRKCOffloader::submit(std::function<void()> job) {
  if (!job) return false;
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return false;
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
  return true;
}

bool MRKCOffloader::submit(Ref<LLKBOperation> operation) {
  if (!operation) return false;
  return submit([operation] {
    operation->onPrepare();
    operation->onExecute();
    operation->onDismiss();
  });
}

bool MRKCOffloader::submit(Ref<LLKBOperation> action, MRKBProcessor* notify,
                           std::function<void(LLKBOperation* action)> selector) {
  if (!action || !notify || !selector) return false;
  return submit([action, processor = Ref<MRKBProcessor>(notify), selector = std::move(selector)] {
    action->onPrepare();
    action->onExecute();
    action->onDismiss();
    processor->schedule([action, processor, selector] {
      if (processor->isAttached()) selector(action.get());
    });
  });
}

void MRKCOffloader::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    jobs_.clear();
  }
  wake_.notify_all();
  if (!thread_.joinable()) return;
  if (isCurrent()) thread_.detach();  // released by its own job: the loop ends after it
  else thread_.join();
}

void MRKCOffloader::loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (stopping_) return;
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    // The out-of-memory boundary of offloaded jobs (the rule is written at MRKCStrand::drain).
    try {
      job();
    } catch (...) {
      LLKFLog("offloader : a job failed with an exception");
    }
    job = nullptr;
    lock.lock();
  }
}

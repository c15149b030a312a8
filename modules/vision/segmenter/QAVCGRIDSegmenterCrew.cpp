#include "modules/vision/segmenter/QAVCGRIDSegmenterCrew.h"

#include "framework/core/LLKFLog.h"

uint32_t QAVCGRIDSegmenterCrew::start(uint32_t threads) noexcept {
  if (started_) return this->threads();
  started_ = true;
  try {
    threads_.reserve(threads);  // a running thread is never dropped for want of room
    for (uint32_t i = 0; i < threads; ++i) {
      auto thread = std::make_unique<QAVCGRIDSegmenterSPProcessor>(handoff_);
      if (!thread->start(0)) {
        LLKFLog("QAVCGRIDSegmenter : a computing thread could not be started");
        break;
      }
      threads_.push_back(std::move(thread));
    }
  } catch (const std::bad_alloc&) {
    LLKFLog("QAVCGRIDSegmenter : out of memory for the computing threads");
  }
  return this->threads();
}

void QAVCGRIDSegmenterCrew::run(const QAVTGRIDSegmenterJob& job) noexcept {
  if (threads_.empty()) {
    inline_.describe(job, 0, job.count);
    return;
  }
  const uint64_t parts = threads_.size();
  std::unique_lock lock(handoff_.mutex);
  for (uint64_t i = 0; i < parts; ++i)
    threads_[i]->setRange(&job, uint32_t(job.count * i / parts), uint32_t(job.count * (i + 1) / parts));
  handoff_.busy = uint32_t(parts);
  ++handoff_.jobs;
  handoff_.trigger.notify_all();
  handoff_.signal.wait(lock, [&] { return handoff_.busy == 0; });
  for (auto& thread : threads_) thread->setRange(nullptr, 0, 0);
}

void QAVCGRIDSegmenterCrew::stop() noexcept {
  {
    std::lock_guard lock(handoff_.mutex);
    handoff_.stopping = true;
  }
  handoff_.trigger.notify_all();
  for (auto& thread : threads_) thread->join();
  threads_.clear();
}

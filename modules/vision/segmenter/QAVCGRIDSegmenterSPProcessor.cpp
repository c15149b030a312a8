#include "modules/vision/segmenter/QAVCGRIDSegmenterSPProcessor.h"

#include <system_error>

bool QAVCGRIDSegmenterSPProcessor::start(uint64_t seen) noexcept {
  if (thread_.joinable()) return false;
  try {
    thread_ = std::thread([this, seen] { main(seen); });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void QAVCGRIDSegmenterSPProcessor::join() noexcept {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void QAVCGRIDSegmenterSPProcessor::setRange(const QAVTGRIDSegmenterJob* job, uint32_t first, uint32_t last) noexcept {
  job_ = job;
  first_ = first;
  last_ = last;
}

void QAVCGRIDSegmenterSPProcessor::main(uint64_t seen) noexcept {
  std::unique_lock lock(handoff_.mutex);
  while (true) {
    handoff_.trigger.wait(lock, [&] { return handoff_.stopping || handoff_.jobs != seen; });
    if (handoff_.jobs == seen) return;  // stopping, with no job left to do
    seen = handoff_.jobs;
    const QAVTGRIDSegmenterJob* job = job_;
    const uint32_t first = first_, last = last_;
    lock.unlock();
    if (job) describer_.describe(*job, first, last);
    lock.lock();
    if (--handoff_.busy == 0) handoff_.signal.notify_all();
  }
}

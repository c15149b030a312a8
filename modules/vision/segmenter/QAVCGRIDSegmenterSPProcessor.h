#pragma once
// A computing thread of the segmenter: waits for a job on the crew's hand-off, describes its
// range of superpixels, reports back, and waits again until the crew stops.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "modules/vision/segmenter/QAVCGRIDSegmenterDescriber.h"

// What the crew and its threads share, all under one mutex: a job is posted by counting it and
// setting busy to the number of threads; each thread takes every job it has not seen yet (so a
// job posted before a thread waits is not lost) and the last to finish signals.
struct QAVTGRIDSegmenterHandoff {
  std::mutex mutex;
  std::condition_variable trigger;  // a job was posted, or the crew stops
  std::condition_variable signal;   // busy went to 0
  uint64_t jobs = 0;                // jobs posted so far
  uint32_t busy = 0;                // threads still working on the last job
  bool stopping = false;
};

class QAVCGRIDSegmenterSPProcessor {
public:
  explicit QAVCGRIDSegmenterSPProcessor(QAVTGRIDSegmenterHandoff& handoff) : handoff_(handoff) {}
  // The owner stops the hand-off before the thread goes.
  ~QAVCGRIDSegmenterSPProcessor() { join(); }
  QAVCGRIDSegmenterSPProcessor(const QAVCGRIDSegmenterSPProcessor&) = delete;
  QAVCGRIDSegmenterSPProcessor& operator=(const QAVCGRIDSegmenterSPProcessor&) = delete;

  // Starts the thread, waiting for jobs after the first `seen` ones. False when no thread can be
  // had.
  bool start(uint64_t seen) noexcept;
  void join() noexcept;

  // Under the hand-off's mutex: the job and the labels [first, last) of it to describe next.
  void setRange(const QAVTGRIDSegmenterJob* job, uint32_t first, uint32_t last) noexcept;

private:
  void main(uint64_t seen) noexcept;

  QAVTGRIDSegmenterHandoff& handoff_;
  QAVCGRIDSegmenterDescriber describer_;
  const QAVTGRIDSegmenterJob* job_ = nullptr;
  uint32_t first_ = 0;
  uint32_t last_ = 0;
  std::thread thread_;
};

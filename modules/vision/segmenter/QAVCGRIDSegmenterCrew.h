#pragma once
// The segmenter's computing threads: describes the superpixels of one image at a time, the
// labels split into equal consecutive ranges, one per thread (with two threads and 7 labels:
// 0 to 2 and 3 to 6). With no thread running it describes them on the caller's thread.
//
// One owner thread calls start, run and stop; run returns when every range is done.
#include <memory>
#include <vector>

#include "modules/vision/segmenter/QAVCGRIDSegmenterSPProcessor.h"

class QAVCGRIDSegmenterCrew {
public:
  QAVCGRIDSegmenterCrew() = default;
  ~QAVCGRIDSegmenterCrew() { stop(); }
  QAVCGRIDSegmenterCrew(const QAVCGRIDSegmenterCrew&) = delete;
  QAVCGRIDSegmenterCrew& operator=(const QAVCGRIDSegmenterCrew&) = delete;

  // Starts up to `threads` threads and answers how many run; the crew can be started once. The
  // threads are not pinned to processors: on a busy machine a pinned thread waits for its one
  // processor while others idle.
  uint32_t start(uint32_t threads) noexcept;
  // Fills every slot of the job.
  void run(const QAVTGRIDSegmenterJob& job) noexcept;
  // Stops and joins the threads; a crew that never started or already stopped is left alone.
  void stop() noexcept;

  uint32_t threads() const noexcept { return uint32_t(threads_.size()); }

private:
  QAVTGRIDSegmenterHandoff handoff_;
  std::vector<std::unique_ptr<QAVCGRIDSegmenterSPProcessor>> threads_;
  QAVCGRIDSegmenterDescriber inline_;  // for the caller's thread when none runs
  bool started_ = false;
};

#pragma once
// Shared pieces of the side-by-side benchmarks: a name and the quality counters.
#include "bench/vision_algorithms/bench_images.h"
#include "bench/vision_algorithms/bench_quality.h"

#include <benchmark/benchmark.h>

#include <string>

inline std::string benchName(const std::string& algorithm, const std::string& who, const BenchImage& image,
                             const std::string& setting) {
  return algorithm + "/" + who + "/" + image.name + "/" + std::to_string(image.bgr.cols) + "x" +
         std::to_string(image.bgr.rows) + "/" + setting;
}

// Region count, and against the ground truth (when the picture has one) boundary recall within
// 2 pixels and undersegmentation error.
inline void reportQuality(benchmark::State& state, const BenchImage& image, const cv::Mat& labels) {
  state.counters["regions"] = regionCount(labels);
  if (image.truth.empty()) return;
  state.counters["recall2px"] = boundaryRecall(image.truth, labels, 2);
  state.counters["underseg"] = undersegmentationError(image.truth, labels);
}

// The grid-seam segmenter on whole frames: seams, labels, measures and the mean-colour image,
// then every superpixel's record, pattern and outline, packed into the published statement.
// OpenCV runs single-threaded, so the thread counts are the segmenter's own.
#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>

#include "bench/vision_seams/Scenes.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKFTerms.h"
#include "modules/vision/segmenter/QAVCGRIDSegmenterWorker.h"

namespace {

const bool kOpenCVOneThread = (cv::setNumThreads(1), true);

enum class Source { synthetic, photo };

Ref<MRKCStatement> statementOf(const cv::Mat& image) {
  Ref<MRKCFrame> meta = MRKCFrame::frame();
  meta->store(MRKCSymbol::symbolWithValue("bgr").get(), "format");
  MRKFFrameStoreUint(meta.get(), "width", uint64_t(image.cols));
  MRKFFrameStoreUint(meta.get(), "height", uint64_t(image.rows));
  Ref<MRKCBinary> pixels = MRKCBinary::binaryWithBytes(image.data, image.total() * image.elemSize());
  return MRKFMakeStatementWith4Terms("in", MRKCSymbol::symbolWithValue("image").get(), meta.get(), pixels.get(),
                                     MRKCFrame::frame().get(), 1.0);
}

void segment(benchmark::State& state, cv::Size size, Source source, uint32_t threads) {
  const Scene scene = source == Source::photo ? photoScene(size) : syntheticScene(size, 7);
  if (scene.image.empty()) {
    state.SkipWithError("the opencv-doc photo is not installed");
    return;
  }
  const cv::Mat image = scene.image.isContinuous() ? scene.image : scene.image.clone();
  Ref<MRKCStatement> statement = statementOf(image);
  QAVTImageStatement parts;
  if (QAVFImageStatementRead(statement.get(), &parts) != kQAVImageValid) {
    state.SkipWithError("not an image statement");
    return;
  }
  Ref<QAVCGRIDSegmenterWorker> worker = QAVCGRIDSegmenterWorker::workerWithLabel("out", "bench", nullptr, threads);
  size_t superpixels = 0;
  for (auto _ : state) {
    Ref<MRKCStatement> segmented = worker->process(parts);
    MRKCList* list =
        segmented ? asList(MRKFFrameFetchTerm(asFrame(segmented->terms()->fetchAtIndex(3)), "superpixels")) : nullptr;
    if (!list) {
      state.SkipWithError("no superpixels");
      return;
    }
    superpixels = list->count();
    benchmark::DoNotOptimize(segmented);
  }
  state.counters["superpixels"] = double(superpixels);
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

const cv::Size kVGA(640, 480), kHD(1920, 1080);

// One thread: the superpixels are described on the segmenting thread; two: on the two
// computing threads, while the segmenting thread waits.
#define SEGMENTER_BENCHMARKS(name, computing)                                                 \
  BENCHMARK_CAPTURE(segment, name / 640x480 / synthetic, kVGA, Source::synthetic, computing)  \
      ->Unit(benchmark::kMillisecond)                                                         \
      ->UseRealTime();                                                                        \
  BENCHMARK_CAPTURE(segment, name / 640x480 / photo, kVGA, Source::photo, computing)          \
      ->Unit(benchmark::kMillisecond)                                                         \
      ->UseRealTime();                                                                        \
  BENCHMARK_CAPTURE(segment, name / 1920x1080 / synthetic, kHD, Source::synthetic, computing) \
      ->Unit(benchmark::kMillisecond)                                                         \
      ->UseRealTime();                                                                        \
  BENCHMARK_CAPTURE(segment, name / 1920x1080 / photo, kHD, Source::photo, computing)         \
      ->Unit(benchmark::kMillisecond)                                                         \
      ->UseRealTime()

SEGMENTER_BENCHMARKS(1thread, 0);
SEGMENTER_BENCHMARKS(2threads, 2);

}  // namespace

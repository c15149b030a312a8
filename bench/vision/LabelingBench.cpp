// The labelling view's click on a 1920 x 1080 sample of about 8 200 superpixels (a scene with a
// flat 600 x 400 rectangle, segmented at step 16 by the grid-seam segmenter): the work the
// window's thread does between a click and the redrawn frame, against the 16 ms of one frame.
//
//   Pick              finding the superpixel under the point (the scan every click makes)
//   Click             a plain click: pick and toggle
//   FloodClick        a Shift click at the default reach (5 cells) and threshold (10)
//   FloodClickOutline the Shift click and the object's outline (union of its superpixels'
//                     outlines, resampled): everything before the overlay is drawn again
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>

#include <opencv2/imgproc.hpp>

#include "app/vision/VSKFLabelingInteraction.h"
#include "framework/core/LLKFLog.h"
#include "tests/support/dataset/SegmentedScenes.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 1920, kHeight = 1080;
const cv::Rect kRectangle = {660, 340, 600, 400};
constexpr NRKTPoint kCentre = {960, 540};

Ref<VSKCImageSample> sample() {
  static Ref<VSKCImageSample> made = [] {
    const fs::path folder = fs::temp_directory_path() / ("vsk-labeling-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    dataset::Scene scene = dataset::synthetic(1, kWidth, kHeight, 3).front();
    scene.objects.clear();
    cv::rectangle(scene.bgr, kRectangle, cv::Scalar(40, 160, 60), cv::FILLED);
    scene.annotations = dataset::annotate(scene.objects);
    LLKFLogSetQuiet(true);
    Ref<MRKCStatement> statement = dataset::segmented(scene, folder.string(), 16);
    fs::remove_all(folder);
    return statement ? VSKCImageSample::sampleFromStatement(statement.get(), "bench", 1) : nullptr;
  }();
  return made;
}

void run(benchmark::State& state, int32_t modifiers, bool outline) {
  Ref<VSKCImageSample> s = sample();
  if (!s) {
    state.SkipWithError("no sample");
    return;
  }
  VSKTLabelingState cursor;
  cursor.currentLabel = 1;
  for (auto _ : state) {
    // Every click adds to an empty object (a second one would take it all away again).
    state.PauseTiming();
    for (VSKTSuperpixel& record : s->superpixels()) record.mask = 0;
    state.ResumeTiming();
    benchmark::DoNotOptimize(VSKFLabelingClick(*s, cursor, kCentre, modifiers, nullptr));
    if (outline) benchmark::DoNotOptimize(VSKFLabelingContours(*s, cursor.selectedObject, cursor.currentLabel));
  }
  state.counters["superpixels"] = s->superpixelCount();
}

void Pick(benchmark::State& state) {
  Ref<VSKCImageSample> s = sample();
  if (!s) {
    state.SkipWithError("no sample");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(VSKFLabelingPick(*s, kCentre));
}
void Click(benchmark::State& state) { run(state, 0, false); }
void FloodClick(benchmark::State& state) { run(state, kOGLModShift, false); }
void FloodClickOutline(benchmark::State& state) { run(state, kOGLModShift, true); }

}  // namespace

BENCHMARK(Pick)->Unit(benchmark::kMicrosecond);
BENCHMARK(Click)->Unit(benchmark::kMicrosecond);
BENCHMARK(FloodClick)->Unit(benchmark::kMicrosecond);
BENCHMARK(FloodClickOutline)->Unit(benchmark::kMicrosecond);

// Grid seams and local binary patterns beside OpenCV's superpixels (SLICO, SEEDS, LSC) on the
// same frames: frames per second, superpixel count and, on synthetic scenes, boundary recall
// within 2 pixels.
#include "bench/vision_seams/Scenes.h"
#include "modules/vision/seams/GridSeams.h"
#include "modules/vision/seams/OLBP.h"

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>
#include <opencv2/ximgproc.hpp>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace {

constexpr int kStep = 16;  // grid step and region size
constexpr float kStay = 0.06f;
constexpr int kBins = 48;
const cv::Size kVGA(640, 480), kHD(1920, 1080);

enum class Source { synthetic, photo };

// Every algorithm on one core: OpenCV would otherwise spread some of its loops over threads.
const bool kOneThread = (cv::setNumThreads(1), true);

const Scene& frame(cv::Size size, Source source) {
  static std::map<std::pair<int, int>, Scene> cache[2];
  Scene& scene = cache[int(source)][{size.width, size.height}];
  if (scene.image.empty()) scene = source == Source::synthetic ? syntheticScene(size, 20261210) : photoScene(size);
  return scene;
}

// One segmenter, made once per frame size and run once per frame; answers the labels.
using Segmenter = std::function<cv::Mat(const cv::Mat& bgr)>;
using SegmenterMaker = std::function<Segmenter(cv::Size size)>;

// The seams, the measures and the mean-colour image: what the segmenter's handler computes.
struct SeamsFrame {
  explicit SeamsFrame(cv::Size size) : paint(size, CV_8UC3), labels(size_t(size.area())) {}

  void segment(const cv::Mat& bgr) {
    records.resize(seams.process(bgr, kStep, kStep, kStay, labels));
    seams.display(bgr, paint, records);
  }

  GridSeams seams;
  std::vector<GridSeams::spixel_t> records;
  cv::Mat paint;
  std::vector<std::uint16_t> labels;
};

// Every superpixel's texture pattern: cut-out, LBP, normalised histogram of its codes.
struct Patterns {
  static constexpr int kPatch = 3 * kStep;

  void compute(const SeamsFrame& frame, const cv::Mat& bgr) {
    const size_t n = frame.records.size();
    histograms.assign(n * kBins, 0.0f);
    for (unsigned v = 0; v < n; ++v) {
      const GridSeams::spixel_t& s = frame.records[v];
      if (s.count == 0 || s.xmax - s.xmin >= kPatch || s.ymax - s.ymin >= kPatch) continue;
      // The box and one zero row and column beyond it give the codes a full zeroed patch
      // would give on the box.
      const cv::Rect box(0, 0, s.xmax - s.xmin + 1, s.ymax - s.ymin + 1);
      const cv::Rect reach(0, 0, std::min(box.width + 1, kPatch), std::min(box.height + 1, kPatch));
      cv::Mat boxMask = mask(box), boxGrey = grey(reach), boxCodes = codes(reach);
      boxMask.setTo(0);
      boxGrey.setTo(0);
      frame.seams.extract(bgr, boxMask, boxGrey, s, v);
      lbp.run(boxGrey, boxCodes);
      float* bins = histograms.data() + size_t(v) * kBins;
      unsigned counted = 0;
      for (int r = 0; r < box.height; ++r) {
        const uchar* in = boxMask.ptr<uchar>(r);
        const uchar* code = boxCodes.ptr<uchar>(r);
        for (int c = 0; c < box.width; ++c)
          if (in[c]) {
            ++bins[std::min(code[c] / (255 / kBins), kBins - 1)];
            ++counted;
          }
      }
      if (counted)
        for (int b = 0; b < kBins; ++b) bins[b] /= float(counted);
    }
  }

  lbplibrary::OLBP lbp;
  // (Braces would make one-column matrices of the three numbers.)
  cv::Mat mask = cv::Mat(kPatch, kPatch, CV_8UC1);
  cv::Mat grey = cv::Mat(kPatch, kPatch, CV_8UC1);
  cv::Mat codes = cv::Mat(kPatch, kPatch, CV_8UC1);
  std::vector<float> histograms;
};

Segmenter gridSeams(cv::Size size) {
  auto frame = std::make_shared<SeamsFrame>(size);
  return [frame](const cv::Mat& bgr) {
    frame->segment(bgr);
    return frame->seams.labels();
  };
}

Segmenter gridSeamsWithPatterns(cv::Size size) {
  auto frame = std::make_shared<SeamsFrame>(size);
  auto patterns = std::make_shared<Patterns>();
  return [frame, patterns](const cv::Mat& bgr) {
    frame->segment(bgr);
    patterns->compute(*frame, bgr);
    return frame->seams.labels();
  };
}

Segmenter slico(cv::Size) {
  return [](const cv::Mat& bgr) {
    cv::Mat lab, labels;
    cv::cvtColor(bgr, lab, cv::COLOR_BGR2Lab);
    auto slic = cv::ximgproc::createSuperpixelSLIC(lab, cv::ximgproc::SLICO, kStep);
    slic->iterate(10);
    slic->getLabels(labels);
    return labels;
  };
}

Segmenter seeds(cv::Size size) {
  const int count = (size.width / kStep) * (size.height / kStep);
  std::shared_ptr<cv::ximgproc::SuperpixelSEEDS> algorithm(
      cv::ximgproc::createSuperpixelSEEDS(size.width, size.height, 3, count, 4, 2, 5, false));
  return [algorithm](const cv::Mat& bgr) {
    cv::Mat hsv, labels;
    cv::cvtColor(bgr, hsv, cv::COLOR_BGR2HSV);
    algorithm->iterate(hsv, 4);
    algorithm->getLabels(labels);
    return labels;
  };
}

Segmenter lsc(cv::Size) {
  return [](const cv::Mat& bgr) {
    cv::Mat labels;
    auto algorithm = cv::ximgproc::createSuperpixelLSC(bgr, kStep);
    algorithm->iterate(10);
    algorithm->getLabels(labels);
    return labels;
  };
}

// The texture codes alone, over the whole grey frame.
Segmenter olbpFrame(cv::Size size) {
  auto codes = std::make_shared<cv::Mat>(size, CV_8UC1);
  return [codes](const cv::Mat& bgr) {
    lbplibrary::OLBP().run(bgr, *codes);
    return cv::Mat();
  };
}

int distinct(const cv::Mat& labels) {
  cv::Mat ids;
  labels.convertTo(ids, CV_32S);
  std::set<int> seen(ids.begin<int>(), ids.end<int>());
  return int(seen.size());
}

void run(benchmark::State& state, const SegmenterMaker& make, cv::Size size, Source source) {
  const Scene& scene = frame(size, source);
  if (scene.image.empty()) {
    state.SkipWithError("no photo: install Debian's opencv-doc");
    return;
  }
  Segmenter segment = make(size);
  cv::Mat labels;
  for (auto _ : state) {
    labels = segment(scene.image);
    benchmark::ClobberMemory();
  }
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  if (labels.empty()) return;
  state.counters["superpixels"] = distinct(labels);
  if (!scene.regions.empty()) state.counters["recall"] = boundaryRecall(scene.regions, labels, 2);
}

#define SUPERPIXELS(name, maker)                                                                                      \
  BENCHMARK_CAPTURE(run, name / 640x480 / synthetic, maker, kVGA, Source::synthetic)->Unit(benchmark::kMillisecond);  \
  BENCHMARK_CAPTURE(run, name / 640x480 / photo, maker, kVGA, Source::photo)->Unit(benchmark::kMillisecond);          \
  BENCHMARK_CAPTURE(run, name / 1920x1080 / synthetic, maker, kHD, Source::synthetic)->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(run, name / 1920x1080 / photo, maker, kHD, Source::photo)->Unit(benchmark::kMillisecond)

SUPERPIXELS(GridSeams, gridSeams);
SUPERPIXELS(GridSeamsOLBP, gridSeamsWithPatterns);
SUPERPIXELS(OLBPFrame, olbpFrame);
SUPERPIXELS(SLICO, slico);
SUPERPIXELS(SEEDS, seeds);
SUPERPIXELS(LSC, lsc);

}  // namespace

// Graph-based segmentation: ours (with a context made once, as a caller segmenting a stream
// would) against OpenCV's ximgproc graph segmentation, on a grid of sigma, k and minimum size.
#include "bench/vision_algorithms/bench_register.h"

#include "modules/vision/algorithms/graph/segment-image.h"

#include <opencv2/ximgproc/segmentation.hpp>

using namespace graphseg;

namespace {

struct Setting {
  float sigma, k;
  int minSize;
};

std::string settingName(const Setting& s) {
  char text[64];
  std::snprintf(text, sizeof text, "sigma%.1f_k%.0f_min%d", double(s.sigma), double(s.k), s.minSize);
  return text;
}

// Labels 0 .. n−1 from the region of every pixel.
cv::Mat labelsOf(segment_image_ctx& ctx) {
  cv::Mat labels(ctx.height, ctx.width, CV_32SC1);
  for (int y = 0; y < ctx.height; ++y)
    for (int x = 0; x < ctx.width; ++x) labels.at<int>(y, x) = ctx.u->find(y * ctx.width + x);
  return labels;
}

void ours(benchmark::State& state, const BenchImage& picture, Setting s) {
  // The channel order does not change colour distances, so the pixels are taken as they are.
  cv::Mat pixels = picture.bgr.clone();
  const image<rgb> input(pixels.cols, pixels.rows, reinterpret_cast<rgb*>(pixels.data));
  segment_image_ctx ctx;
  if (segment_image_init(&ctx, pixels.cols, pixels.rows) != 0) {
    state.SkipWithError("no context");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(segmentation(&ctx, &input, s.sigma, s.k, s.minSize, nullptr));
  reportQuality(state, picture, labelsOf(ctx));
  segment_image_exit(&ctx);
}

void opencv(benchmark::State& state, const BenchImage& image, Setting s) {
  cv::setNumThreads(1);
  cv::Ptr<cv::ximgproc::segmentation::GraphSegmentation> segmenter =
      cv::ximgproc::segmentation::createGraphSegmentation(s.sigma, s.k, s.minSize);
  cv::Mat labels;
  for (auto _ : state) segmenter->processImage(image.bgr, labels);
  reportQuality(state, image, labels);
}

void add(const BenchImage& image, const Setting& s) {
  benchmark::RegisterBenchmark(benchName("Graph", "ours", image, settingName(s)).c_str(), ours, image, s)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(benchName("Graph", "opencv", image, settingName(s)).c_str(), opencv, image, s)
      ->Unit(benchmark::kMillisecond);
}

const bool registered = [] {
  std::vector<BenchImage> images = benchPhotos(640, 480);
  images.push_back(benchMosaic(640, 480, 150, 0.0, 11));
  images.push_back(benchMosaic(640, 480, 150, 8.0, 11));
  for (const BenchImage& image : images)
    for (float sigma : {0.5f, 0.8f})
      for (float k : {300.0f, 1000.0f})
        for (int minSize : {50, 200}) add(image, {sigma, k, minSize});
  for (const BenchImage& image : benchPhotos(1280, 960)) add(image, {0.5f, 300.0f, 100});
  return true;
}();

}  // namespace

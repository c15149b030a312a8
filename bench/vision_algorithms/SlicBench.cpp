// SLICO by step: ours against OpenCV's ximgproc SLICO with 10 iterations and its connectivity
// pass. OpenCV's SLIC works on the colours it is given, so its Lab conversion is timed with it;
// ours converts inside.
#include "bench/vision_algorithms/bench_register.h"

#include "modules/vision/algorithms/slic/SLIC.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/ximgproc/slic.hpp>

namespace {

void ours(benchmark::State& state, const BenchImage& image, int step) {
  const std::vector<unsigned int> pixels = packedPixels(image.bgr);
  cv::Mat labels(image.bgr.size(), CV_32SC1);
  int count = 0;
  for (auto _ : state) {
    SLIC slic;
    slic.PerformSLICO_ForGivenStepSize(pixels.data(), image.bgr.cols, image.bgr.rows, labels.ptr<int>(), count, step,
                                       10.0);
  }
  reportQuality(state, image, labels);
}

void opencv(benchmark::State& state, const BenchImage& image, int step) {
  cv::setNumThreads(1);
  cv::Mat labels;
  for (auto _ : state) {
    cv::Mat lab;
    cv::cvtColor(image.bgr, lab, cv::COLOR_BGR2Lab);
    cv::Ptr<cv::ximgproc::SuperpixelSLIC> slic =
        cv::ximgproc::createSuperpixelSLIC(lab, cv::ximgproc::SLICO, step, 10.0f);
    slic->iterate(10);
    slic->enforceLabelConnectivity();
    slic->getLabels(labels);
  }
  reportQuality(state, image, labels);
}

const bool registered = [] {
  for (const cv::Size size : {cv::Size(640, 480), cv::Size(1280, 960)}) {
    std::vector<BenchImage> images = benchPhotos(size.width, size.height);
    images.push_back(benchMosaic(size.width, size.height, size.area() / 2000, 8.0, 7));
    for (const BenchImage& image : images)
      for (int step : {8, 16, 32}) {
        const std::string setting = "S" + std::to_string(step);
        benchmark::RegisterBenchmark(benchName("SLICO", "ours", image, setting).c_str(), ours, image, step)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(benchName("SLICO", "opencv", image, setting).c_str(), opencv, image, step)
            ->Unit(benchmark::kMillisecond);
      }
  }
  return true;
}();

}  // namespace

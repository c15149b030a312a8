// Pixel conversion against OpenCV's cvtColor (and mixChannels for ARGB, which OpenCV has no code
// for), single-threaded on both sides, outputs checked equal before timing.
#include "imagekit/IMKFImageConvert.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Pair {
  const char* name;
  uint32_t from, to;
  int code;              // cvtColor code, or -1 for mixChannels
  std::vector<int> mix;  // mixChannels from_to pairs
};

const Pair kPairs[] = {
    {"RGB2BGR", IMKPixelFormatRGB, IMKPixelFormatBGR, cv::COLOR_RGB2BGR, {}},
    {"RGB2RGBA", IMKPixelFormatRGB, IMKPixelFormatRGBA, cv::COLOR_RGB2RGBA, {}},
    {"RGB2BGRA", IMKPixelFormatRGB, IMKPixelFormatBGRA, cv::COLOR_RGB2BGRA, {}},
    {"BGR2RGBA", IMKPixelFormatBGR, IMKPixelFormatRGBA, cv::COLOR_BGR2RGBA, {}},
    {"RGBA2RGB", IMKPixelFormatRGBA, IMKPixelFormatRGB, cv::COLOR_RGBA2RGB, {}},
    {"RGBA2BGR", IMKPixelFormatRGBA, IMKPixelFormatBGR, cv::COLOR_RGBA2BGR, {}},
    {"RGBA2BGRA", IMKPixelFormatRGBA, IMKPixelFormatBGRA, cv::COLOR_RGBA2BGRA, {}},
    {"BGRA2RGB", IMKPixelFormatBGRA, IMKPixelFormatRGB, cv::COLOR_BGRA2RGB, {}},
    {"RGBA2ARGB", IMKPixelFormatRGBA, IMKPixelFormatARGB, -1, {3, 0, 0, 1, 1, 2, 2, 3}},
    {"BGRA2ARGB", IMKPixelFormatBGRA, IMKPixelFormatARGB, -1, {3, 0, 2, 1, 1, 2, 0, 3}},
    {"ARGB2RGBA", IMKPixelFormatARGB, IMKPixelFormatRGBA, -1, {1, 0, 2, 1, 3, 2, 0, 3}},
    {"ARGB2BGR", IMKPixelFormatARGB, IMKPixelFormatBGR, -1, {3, 0, 2, 1, 1, 2}},
};

const cv::Size kSizes[] = {{640, 480}, {1920, 1080}};

cv::Mat matFor(cv::Size size, uint32_t format) {
  return cv::Mat(size, CV_8UC(static_cast<int>(IMKFPixelSize(format))));
}

void runOpenCV(const Pair& pair, const cv::Mat& src, cv::Mat& dst) {
  if (pair.code >= 0) cv::cvtColor(src, dst, pair.code);
  else cv::mixChannels(&src, 1, &dst, 1, pair.mix.data(), pair.mix.size() / 2);
}

void runOurs(const Pair& pair, const cv::Mat& src, cv::Mat& dst) {
  const uint64_t srcLength = src.total() * src.elemSize(), dstLength = dst.total() * dst.elemSize();
  IMKFImageConvert(src.cols, src.rows, src.data, srcLength, pair.from, dst.data, dstLength, pair.to);
}

void benchConvert(benchmark::State& state, const Pair& pair, cv::Size size, bool ours) {
  cv::setNumThreads(1);
  cv::Mat src = matFor(size, pair.from), dst = matFor(size, pair.to), check = matFor(size, pair.to);
  cv::randu(src, 0, 256);
  runOurs(pair, src, dst);
  runOpenCV(pair, src, check);
  if (std::memcmp(dst.data, check.data, dst.total() * dst.elemSize()) != 0) {
    state.SkipWithError("outputs differ");
    return;
  }
  for (auto _ : state) {
    if (ours) runOurs(pair, src, dst);
    else runOpenCV(pair, src, dst);
    benchmark::DoNotOptimize(dst.data);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * size.area());
}

const bool registered = [] {
  for (const Pair& pair : kPairs)
    for (cv::Size size : kSizes) {
      const std::string suffix = "/" + std::to_string(size.width) + "x" + std::to_string(size.height);
      const std::string anchor = pair.code >= 0 ? "/cvtColor" : "/mixChannels";
      benchmark::RegisterBenchmark((std::string("Convert/") + pair.name + "/imk" + suffix).c_str(),
                                   [&pair, size](benchmark::State& state) { benchConvert(state, pair, size, true); });
      benchmark::RegisterBenchmark((std::string("Convert/") + pair.name + anchor + suffix).c_str(),
                                   [&pair, size](benchmark::State& state) { benchConvert(state, pair, size, false); });
    }
  return true;
}();

}  // namespace

// Image samples: the ".bin" encoding and decoding side by side with a plain copy and a plain file
// read and write of the same bytes (the limit), and the COCO mapping and rendering.
//
//   Encode/<w>, Decode/<w>        the sample to and from its bytes in memory
//   CopyBytes/<w>                 the same bytes copied once (what any decoder must at least do)
//   Save/<w>, Load/<w>            the sample written to and read from a file (atomically saved)
//   WriteBytes/<w>, ReadBytes/<w> the same bytes written (atomically) and read as a plain file
//   Mapping, Rendering            the COCO mapping of 20 objects and the rendering of a 640 x 480
//                                 sample, each from a fresh copy of the unmapped sample
// <w> is 640 (a 640 x 480 picture, about 1 270 superpixels) or 1920 (1920 x 1080, about 8 200).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <map>

#include <opencv2/imgproc.hpp>

#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"
#include "imagekit/VSKCImageSample.h"
#include "tests/support/dataset/SegmentedScenes.h"

namespace {

namespace fs = std::filesystem;

const fs::path& folder() {
  static const fs::path path = [] {
    fs::path made = fs::temp_directory_path() / ("vsk-samples-bench-" + std::to_string(getpid()));
    fs::create_directories(made);
    return made;
  }();
  return path;
}

// A scene of 20 discs and rectangles in a 5 x 4 grid, segmented at step 16, as a sample.
Ref<VSKCImageSample> sampleOfWidth(int width) {
  static std::map<int, Ref<VSKCImageSample>> made;
  if (auto found = made.find(width); found != made.end()) return found->second;
  const int height = width == 640 ? 480 : 1080;
  dataset::Scene scene = dataset::synthetic(1, width, height, 3).front();
  scene.objects.clear();
  for (int i = 0; i < 20; ++i) {
    const int cw = width / 5, ch = height / 4, x = (i % 5) * cw + cw / 6, y = (i / 5) * ch + ch / 6;
    std::vector<cv::Point> part = {{x, y}, {x + cw * 2 / 3, y}, {x + cw * 2 / 3, y + ch * 2 / 3}, {x, y + ch * 2 / 3}};
    cv::fillPoly(scene.bgr, std::vector<std::vector<cv::Point>>{part}, cv::Scalar(20 * (i % 5), 40, 10 * i));
    scene.objects.push_back({"o" + std::to_string(i), uint32_t(1 + i * 4), {}, {part}});
  }
  scene.annotations = dataset::annotate(scene.objects);
  LLKFLogSetQuiet(true);
  Ref<MRKCStatement> statement = dataset::segmented(scene, folder().string(), 16);
  Ref<VSKCImageSample> sample = statement ? VSKCImageSample::sampleFromStatement(statement.get(), "bench", 1) : nullptr;
  made[width] = sample;
  return sample;
}

Ref<LLKCData> labels() {
  std::vector<uint32_t> table(91);
  for (uint32_t i = 0; i < table.size(); ++i) table[i] = i % 250 + 1;
  return LLKCData::dataWithBytes(table.data(), table.size() * 4);
}

std::vector<uint8_t> bytesOf(const VSKCImageSample& sample) {
  std::vector<uint8_t> bytes;
  (void)sample.encodeToBytes(&bytes);
  return bytes;
}

void setCounters(benchmark::State& state, size_t bytes) {
  state.SetBytesProcessed(int64_t(state.iterations() * bytes));
  state.counters["file KiB"] = double(bytes) / 1024;
}

void Encode(benchmark::State& state) {
  Ref<VSKCImageSample> sample = sampleOfWidth(int(state.range(0)));
  if (!sample) return state.SkipWithError("no sample");
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    bytes.clear();
    benchmark::DoNotOptimize(sample->encodeToBytes(&bytes));
  }
  state.counters["superpixels"] = sample->superpixelCount();
  setCounters(state, bytes.size());
}

void Decode(benchmark::State& state) {
  Ref<VSKCImageSample> sample = sampleOfWidth(int(state.range(0)));
  if (!sample) return state.SkipWithError("no sample");
  const std::vector<uint8_t> bytes = bytesOf(*sample);
  for (auto _ : state) benchmark::DoNotOptimize(VSKCImageSample::sampleFromBytes(bytes.data(), bytes.size()));
  setCounters(state, bytes.size());
}

void CopyBytes(benchmark::State& state) {
  Ref<VSKCImageSample> sample = sampleOfWidth(int(state.range(0)));
  if (!sample) return state.SkipWithError("no sample");
  const std::vector<uint8_t> bytes = bytesOf(*sample);
  for (auto _ : state) {
    std::vector<uint8_t> copy(bytes);
    benchmark::DoNotOptimize(copy.data());
  }
  setCounters(state, bytes.size());
}

void Save(benchmark::State& state) {
  Ref<VSKCImageSample> sample = sampleOfWidth(int(state.range(0)));
  if (!sample) return state.SkipWithError("no sample");
  const std::string path = (folder() / "save.bin").string();
  for (auto _ : state) benchmark::DoNotOptimize(sample->encode(path));
  setCounters(state, bytesOf(*sample).size());
}

void WriteBytes(benchmark::State& state) {
  Ref<VSKCImageSample> sample = sampleOfWidth(int(state.range(0)));
  if (!sample) return state.SkipWithError("no sample");
  const std::vector<uint8_t> bytes = bytesOf(*sample);
  const std::string path = (folder() / "write.bin").string();
  for (auto _ : state) benchmark::DoNotOptimize(LLKFWriteFileAtomically(path.c_str(), bytes.data(), bytes.size()));
  setCounters(state, bytes.size());
}

void Load(benchmark::State& state) {
  Ref<VSKCImageSample> sample = sampleOfWidth(int(state.range(0)));
  if (!sample) return state.SkipWithError("no sample");
  const std::string path = (folder() / "load.bin").string();
  if (!sample->encode(path)) return state.SkipWithError("not saved");
  for (auto _ : state) benchmark::DoNotOptimize(VSKCImageSample::sampleFromPath(path));
  setCounters(state, bytesOf(*sample).size());
}

void ReadBytes(benchmark::State& state) {
  Ref<VSKCImageSample> sample = sampleOfWidth(int(state.range(0)));
  if (!sample) return state.SkipWithError("no sample");
  const std::string path = (folder() / "read.bin").string();
  if (!sample->encode(path)) return state.SkipWithError("not saved");
  std::string contents;
  for (auto _ : state) benchmark::DoNotOptimize(LLKFReadFile(path.c_str(), contents));
  setCounters(state, contents.size());
}

void Mapping(benchmark::State& state) {
  Ref<VSKCImageSample> sample = sampleOfWidth(640);
  if (!sample) return state.SkipWithError("no sample");
  Ref<LLKCData> table = labels();
  uint32_t objects = 0;
  for (auto _ : state) {
    sample->reset();
    sample->processCocoDataWithLabels(table.get());
    objects = sample->labeled();
  }
  state.counters["objects"] = objects;
}

void Rendering(benchmark::State& state) {
  Ref<VSKCImageSample> sample = sampleOfWidth(640);
  if (!sample) return state.SkipWithError("no sample");
  std::vector<uint8_t> rgba(size_t(640) * 480 * 4);
  for (auto _ : state) {
    sample->render(rgba.data(), 640, 480);
    benchmark::DoNotOptimize(rgba.data());
  }
}

}  // namespace

BENCHMARK(Encode)->Arg(640)->Arg(1920)->Unit(benchmark::kMicrosecond);
BENCHMARK(Decode)->Arg(640)->Arg(1920)->Unit(benchmark::kMicrosecond);
BENCHMARK(CopyBytes)->Arg(640)->Arg(1920)->Unit(benchmark::kMicrosecond);
BENCHMARK(Save)->Arg(640)->Arg(1920)->Unit(benchmark::kMicrosecond);
BENCHMARK(WriteBytes)->Arg(640)->Arg(1920)->Unit(benchmark::kMicrosecond);
BENCHMARK(Load)->Arg(640)->Arg(1920)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadBytes)->Arg(640)->Arg(1920)->Unit(benchmark::kMicrosecond);
BENCHMARK(Mapping)->Unit(benchmark::kMillisecond);
BENCHMARK(Rendering)->Unit(benchmark::kMillisecond);

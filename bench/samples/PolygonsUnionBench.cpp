// The union of an object's outlines (VSKFPolygonsUnion: its outlines checked and tamed, then
// Clipper) side by side with Clipper's own union of the same input (the same offsetting out by one
// unit, back in by one and cleaning, nothing checked first).
//
//   Union/Star/<n>, Clipper/Star/<n>  a closed star of n points on a circle, visited in the order
//                                     (i * k) mod n with k = n / 2 - 1: its edges cross one another
//                                     about n * n / 4 times
//   Union/Object, Clipper/Object      the largest labelled object of a 1920 x 1080 scene of the
//                                     test dataset, segmented at step 16 (the demonstration's
//                                     step and outline size of 24 points)
//
// Clipper's own union of the star runs only at 501 and 1 001 points: it takes about 0.5 s and 6 s
// there, and minutes at 2 001 points (415 s measured once), hours at 20 001.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <clipper.hpp>

#include <cmath>
#include <filesystem>

#include "framework/core/LLKFLog.h"
#include "imagekit/VSKCImageSample.h"
#include "imagekit/VSKFPolygon.h"
#include "tests/samples/SampleTestKit.h"
#include "tests/support/dataset/SegmentedScenes.h"

namespace {

namespace fs = std::filesystem;

Ref<LLKCObjectDeque> star(uint32_t n) {
  const std::vector<NRKTPoint> points = starOutline(n, 500, 490);
  return LLKCObjectDeque::dequeWithObjects({NRKCPolygon::polygonWithLength(uint32_t(points.size()), points.data())});
}

// The outlines of the object with the most superpixels of a mapped dataset scene.
Ref<LLKCObjectDeque> largestObject() {
  static Ref<LLKCObjectDeque> made = [] {
    const fs::path folder = fs::temp_directory_path() / ("vsk-union-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    LLKFLogSetQuiet(true);
    Ref<MRKCStatement> statement = dataset::segmented(dataset::synthetic(1, 1920, 1080, 3).front(), folder, 16);
    fs::remove_all(folder);
    Ref<VSKCImageSample> sample =
        statement ? VSKCImageSample::sampleFromStatement(statement.get(), "bench", 1) : nullptr;
    if (!sample) return Ref<LLKCObjectDeque>();
    std::vector<uint32_t> labels(91);
    for (uint32_t i = 0; i < labels.size(); ++i) labels[i] = i % 250 + 1;
    sample->processCocoDataWithLabels(LLKCData::dataWithBytes(labels.data(), labels.size() * 4).get());
    Ref<LLKCObjectDeque> largest;
    for (uint32_t n = 1; n <= kVSKObjectSlots; ++n) {
      Ref<LLKCObjectDeque> outlines = sample->polygonsForObject(n);
      if (outlines && (!largest || outlines->count() > largest->count())) largest = outlines;
    }
    return largest;
  }();
  return made;
}

// Clipper alone, as the union does it.
void clipperUnion(const LLKCObjectDeque& input) {
  ClipperLib::Paths paths(input.count());
  for (size_t i = 0; i < input.count(); ++i) {
    const Ref<NRKCPolygon> polygon = input.fetchAtIndexAs<NRKCPolygon>(i);
    for (uint32_t k = 0; k < polygon->length(); ++k)
      paths[i].emplace_back(ClipperLib::cInt(std::round(polygon->points()[k].x)),
                            ClipperLib::cInt(std::round(polygon->points()[k].y)));
  }
  for (const double delta : {1.0, -1.0}) {
    ClipperLib::ClipperOffset offsetter(2.0, 0.25);
    offsetter.AddPaths(paths, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    offsetter.Execute(paths, delta);
  }
  ClipperLib::CleanPolygons(paths, 1.0);
  benchmark::DoNotOptimize(paths.data());
}

void run(benchmark::State& state, const Ref<LLKCObjectDeque>& input, bool checked) {
  if (!input) return state.SkipWithError("no input");
  size_t points = 0;
  for (size_t i = 0; i < input->count(); ++i) points += input->fetchAtIndexAs<NRKCPolygon>(i)->length();
  std::string note;
  for (auto _ : state) {
    if (!checked) {
      clipperUnion(*input);
      continue;
    }
    Ref<LLKCObjectDeque> united = LLKCObjectDeque::deque();
    benchmark::DoNotOptimize(VSKFPolygonsUnion(input.get(), united.get(), &note));
  }
  state.counters["outlines"] = double(input->count());
  state.counters["points"] = double(points);
  if (checked) state.SetLabel(note.empty() ? "nothing tamed" : note);
}

void UnionStar(benchmark::State& state) { run(state, star(uint32_t(state.range(0))), true); }
void ClipperStar(benchmark::State& state) { run(state, star(uint32_t(state.range(0))), false); }
void UnionObject(benchmark::State& state) { run(state, largestObject(), true); }
void ClipperObject(benchmark::State& state) { run(state, largestObject(), false); }

}  // namespace

BENCHMARK(UnionStar)->Name("Union/Star")->Arg(501)->Arg(2001)->Arg(20001)->Unit(benchmark::kMillisecond);
BENCHMARK(ClipperStar)->Name("Clipper/Star")->Arg(501)->Arg(1001)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(UnionObject)->Name("Union/Object")->Unit(benchmark::kMillisecond);
BENCHMARK(ClipperObject)->Name("Clipper/Object")->Unit(benchmark::kMillisecond);

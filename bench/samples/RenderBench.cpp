// Drawing a sample crafted to cost: outlines of many points, each a zigzag spanning a 640 x 480
// image from top to bottom, as VSKCImageSample::render draws it (a scanline fill), beside the
// way it drew before (every pixel of a row tested against every edge reaching that row).
//
//   Render/<outlines>/<points>    the sample's rendering; 20 / 8194 is the crafted 1.3 MB sample
//   PerPixel/<outlines>/<points>  the former per-pixel test of the same outlines (one outline
//                                 only: the crafted sample takes about a minute that way)
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "framework/core/NRKFPolygonTestPoint.h"
#include "imagekit/VSKCImageSample.h"
#include "tests/samples/SampleTestKit.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

std::vector<int16_t> zigzag(int outline, int points) {
  std::vector<int16_t> polygon;
  for (int i = 0; i < points; ++i)
    polygon.insert(polygon.end(), {int16_t((i * (kWidth - 1) + outline * 97) / (points - 1) % kWidth),
                                   int16_t(i % 2 ? kHeight - 1 - outline : outline)});
  return polygon;
}

Ref<VSKCImageSample> zigzagSample(int outlines, int points) {
  std::vector<Ref<MRKBTerm>> entries;
  for (int r = 0; r < outlines; ++r)
    entries.push_back(superpixelFrame({int16_t(r), 320, 240, int16_t(10 * r), 90, 40, 0, 0, kWidth - 1, kHeight - 1,
                                       zigzag(r, points), {1.0f}}));
  return VSKCImageSample::sampleFromStatement(segmentedStatement(1, uint64_t(outlines), 32, std::move(entries)).get(),
                                              "zigzags", 0);
}

void Render(benchmark::State& state) {
  Ref<VSKCImageSample> sample = zigzagSample(int(state.range(0)), int(state.range(1)));
  if (!sample) return state.SkipWithError("no sample");
  std::vector<uint8_t> rgba(size_t(kWidth) * kHeight * 4);
  for (auto _ : state) {
    sample->render(rgba.data(), kWidth, kHeight);
    benchmark::DoNotOptimize(rgba.data());
  }
}

// The former drawing: per row, the edges that reach it; per pixel, the point test on those.
void PerPixel(benchmark::State& state) {
  Ref<VSKCImageSample> sample = zigzagSample(int(state.range(0)), int(state.range(1)));
  if (!sample) return state.SkipWithError("no sample");
  std::vector<uint8_t> rgba(size_t(kWidth) * kHeight * 4);
  const uint8_t colour[4] = {40, 90, 0, 255};
  std::vector<std::pair<NRKTPoint, NRKTPoint>> edges;
  for (auto _ : state) {
    for (const VSKTSuperpixel& record : sample->superpixels()) {
      const auto& points = record.points;
      for (int y = 0; y < kHeight; ++y) {
        const float py = float(y);
        edges.clear();
        for (size_t i = 0; i < points.size(); ++i) {
          const NRKTPoint& from = points[i];
          const NRKTPoint& to = points[i + 1 == points.size() ? 0 : i + 1];
          if (std::min(from.y, to.y) <= py + 0.25f && std::max(from.y, to.y) >= py - 0.25f) edges.push_back({from, to});
        }
        for (int x = 0; x < kWidth; ++x) {
          int inside = 0;
          bool hit = false;
          for (const auto& [from, to] : edges)
            if (NRKFPolygonTestEdge(from.x, from.y, to.x, to.y, float(x), py, inside) < 0) {
              hit = true;
              break;
            }
          if (hit || inside) std::memcpy(&rgba[(size_t(y) * kWidth + size_t(x)) * 4], colour, 4);
        }
      }
    }
    benchmark::DoNotOptimize(rgba.data());
  }
}

}  // namespace

BENCHMARK(Render)->Args({1, 8194})->Args({20, 8194})->Unit(benchmark::kMillisecond);
BENCHMARK(PerPixel)->Args({1, 8194})->Iterations(1)->Unit(benchmark::kMillisecond);

// Outlines and curves from untrusted coordinates (sample files carry them): union, resampling,
// point test and smoothing must answer without throwing, asserting or reading out of bounds.
// Input: a count byte, then x, y floats taken four bytes at a time.
#include "imagekit/VSKFPolygon.h"
#include "imagekit/curves/CurveResampling.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint32_t n = data[0];
  std::vector<NRKTPoint> points((size - 1) / sizeof(NRKTPoint));
  if (!points.empty()) std::memcpy(points.data(), data + 1, points.size() * sizeof(NRKTPoint));
  const uint32_t count = static_cast<uint32_t>(points.size());

  Ref<NRKCPolygon> outline = NRKCPolygon::polygonWithLength(count, points.data());
  std::vector<NRKTPoint> reversed(points.rbegin(), points.rend());
  Ref<LLKCObjectDeque> input =
      LLKCObjectDeque::dequeWithObjects({outline, NRKCPolygon::polygonWithLength(count, reversed.data())});
  Ref<LLKCObjectDeque> united = LLKCObjectDeque::deque();
  VSKFPolygonsUnion(input.get(), united.get());
  VSKFPolygonResample(outline, n);
  for (const Ref<LLKBObject>& each : united->snapshot()) VSKFPolygonResample(refCast<NRKCPolygon>(each), n);
  if (count) VSKFPolygonLocatePoint(points.data(), count, points[0]);

  std::vector<cv::Point> curve;
  for (const NRKTPoint& p : points)
    if (std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) < 1e9f && std::fabs(p.y) < 1e9f)
      curve.emplace_back(static_cast<int>(p.x), static_cast<int>(p.y));
  std::vector<cv::Point> smoothed = curve;
  Smooth(smoothed, (n % 40) / 8.0);
  Resample(curve, static_cast<int>(n) - 8);
  return 0;
}

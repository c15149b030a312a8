// Outlines and curves from untrusted coordinates (sample files carry them): union, resampling,
// point test and smoothing must answer without throwing, asserting or reading out of bounds.
// Input: a count byte, then floats taken four bytes at a time.
#include "imagekit/VSKFPolygon.h"
#include "imagekit/ctr/misc/resampling/CurveResampling.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint32_t n = data[0];
  std::vector<float> floats((size - 1) / sizeof(float));
  if (!floats.empty()) std::memcpy(floats.data(), data + 1, floats.size() * sizeof(float));

  std::vector<cv::Point2f> outline;
  for (size_t i = 0; i + 1 < floats.size(); i += 2) outline.emplace_back(floats[i], floats[i + 1]);
  std::vector<std::vector<cv::Point2f>> united;
  VSKFPolygonsUnion({outline, std::vector<cv::Point2f>(outline.rbegin(), outline.rend())}, united);
  std::vector<cv::Point2f> resampled;
  VSKFPolygonResample(outline, n, resampled);
  for (const auto& each : united) VSKFPolygonResample(each, n, resampled);
  if (!outline.empty()) _VSKFPolygonTestPoint(floats.data(), static_cast<uint32_t>(outline.size()), floats.data());

  std::vector<cv::Point> curve;
  for (const cv::Point2f& p : outline)
    if (std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) < 1e9f && std::fabs(p.y) < 1e9f)
      curve.emplace_back(static_cast<int>(p.x), static_cast<int>(p.y));
  std::vector<cv::Point> smoothed = curve;
  Smooth(smoothed, (n % 40) / 8.0);
  Resample(curve, static_cast<int>(n) - 8);
  return 0;
}

#include "imagekit/VSKFPolygon.h"

#include "imagekit/curves/CurveResampling.h"

Ref<NRKCPolygon> VSKFPolygonResample(const Ref<NRKCPolygon>& polygon, uint32_t n) {
  if (!polygon) return nullptr;
  if (polygon->length() == n) return polygon;
  if (n < 2 || n - 1 > static_cast<uint32_t>(std::numeric_limits<int>::max())) return nullptr;
  try {
    std::vector<cv::Point> points(polygon->length());
    for (size_t i = 0; i < points.size(); ++i) {
      const NRKTPoint point = polygon->points()[i];
      if (!CurveTruncate(point.x, points[i].x) || !CurveTruncate(point.y, points[i].y)) return nullptr;
    }
    if (!Resample(points, static_cast<int>(n - 1))) return nullptr;
    Ref<NRKCPolygon> resampled = NRKCPolygon::polygonWithLength(n);
    if (!resampled) return nullptr;
    for (size_t i = 0; i < points.size(); ++i)
      resampled->points()[i] = {static_cast<float>(points[i].x), static_cast<float>(points[i].y)};
    resampled->points()[n - 1] = resampled->points()[0];
    return resampled;
  } catch (...) {
    return nullptr;
  }
}

#include "imagekit/VSKFPolygon.h"

#include "imagekit/ctr/misc/resampling/CurveResampling.h"

bool VSKFPolygonResample(const std::vector<cv::Point2f>& polygon, uint32_t n, std::vector<cv::Point2f>& resampled) {
  try {
    if (polygon.size() == n) {
      resampled = polygon;
      return true;
    }
    if (n < 2 || n - 1 > static_cast<uint32_t>(std::numeric_limits<int>::max())) return false;
    std::vector<cv::Point> points(polygon.size());
    for (size_t i = 0; i < polygon.size(); ++i)
      if (!CurveTruncate(polygon[i].x, points[i].x) || !CurveTruncate(polygon[i].y, points[i].y)) return false;
    if (!Resample(points, static_cast<int>(n - 1))) return false;
    std::vector<cv::Point2f> outline(points.begin(), points.end());
    outline.push_back(outline.front());
    resampled.swap(outline);
    return true;
  } catch (...) {
    return false;
  }
}

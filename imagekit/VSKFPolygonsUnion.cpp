// The union of outlines with Clipper: offsetting out by one unit and back in by one closes gaps
// narrower than about two units while the outer shape stays.
#include "imagekit/VSKFPolygon.h"

#include <clipper.hpp>

#include <cmath>

namespace {

// Coordinates beyond this are refused: Clipper's range ends at 2^62, and the outlines go back to
// floats and to the 32-bit points of resampling.
constexpr double kMaxCoordinate = 1 << 30;

bool toClipperPath(const std::vector<cv::Point2f>& polygon, ClipperLib::Path& path) {
  path.reserve(polygon.size());
  for (const cv::Point2f& point : polygon) {
    if (!(std::fabs(point.x) <= kMaxCoordinate && std::fabs(point.y) <= kMaxCoordinate)) return false;
    path.emplace_back(static_cast<ClipperLib::cInt>(std::round(point.x)), static_cast<ClipperLib::cInt>(std::round(point.y)));
  }
  return true;
}

void offset(ClipperLib::Paths& paths, double delta) {
  ClipperLib::ClipperOffset offsetter(2.0, 0.25);
  offsetter.AddPaths(paths, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
  offsetter.Execute(paths, delta);
}

std::vector<cv::Point2f> closedOutline(const ClipperLib::Path& path) {
  std::vector<cv::Point2f> outline;
  outline.reserve(path.size() + 1);
  for (const ClipperLib::IntPoint& point : path) outline.emplace_back(static_cast<float>(point.X), static_cast<float>(point.Y));
  outline.push_back(outline.front());
  return outline;
}

}  // namespace

bool VSKFPolygonsUnion(const std::vector<std::vector<cv::Point2f>>& polygons,
                       std::vector<std::vector<cv::Point2f>>& outlines) {
  try {
    ClipperLib::Paths paths(polygons.size());
    for (size_t i = 0; i < polygons.size(); ++i)
      if (!toClipperPath(polygons[i], paths[i])) return false;
    offset(paths, 1.0);
    offset(paths, -1.0);
    ClipperLib::CleanPolygons(paths, 1.0);
    if (paths.empty()) return false;
    std::vector<std::vector<cv::Point2f>> outer;
    for (const ClipperLib::Path& path : paths)
      if (!path.empty() && ClipperLib::Area(path) > 0) outer.push_back(closedOutline(path));
    outlines.insert(outlines.end(), outer.begin(), outer.end());
    return true;
  } catch (...) {
    return false;
  }
}

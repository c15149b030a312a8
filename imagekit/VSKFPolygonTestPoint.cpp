// Point in polygon by crossing count, with the boundary (within a small tolerance) reported apart.
#include "imagekit/VSKFPolygon.h"

#include <cmath>

namespace {

constexpr float kTolerance = 0.1f;

}  // namespace

extern "C" int _VSKFPolygonTestPoint(const float* points, uint32_t count, const float point[2]) {
  if (!points || !point || count == 0) return 0;
  const float px = point[0], py = point[1];
  int inside = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t j = i + 1 == count ? 0 : i + 1;
    const float cx = points[2 * i], cy = points[2 * i + 1];
    const float nx = points[2 * j], ny = points[2 * j + 1];
    if (std::fabs(ny - py) < kTolerance) {
      if (std::fabs(nx - px) < kTolerance) return -1;
      if (std::fabs(cy - py) < kTolerance && (cx < px) == (nx > px)) return -1;
    }
    if ((cy < py) == (ny < py)) continue;
    if (cx > px || std::fabs(cx - px) < kTolerance) {
      if (nx > px) {
        inside = 1 - inside;
        continue;
      }
    } else if (nx <= px) {
      continue;
    }
    const float d = (cx - px) * (ny - py) - (nx - px) * (cy - py);
    if (d == 0) return -1;
    if ((d > 0) == (ny > cy)) inside = 1 - inside;
  }
  return inside;
}

extern "C" bool VSKFPolygonTestPoint(const float* points, uint32_t count, const float point[2]) {
  return _VSKFPolygonTestPoint(points, count, point) != 0;
}

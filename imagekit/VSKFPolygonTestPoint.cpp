// Point in polygon by crossing count, with the boundary (within a small tolerance) reported apart.
#include "imagekit/VSKFPolygon.h"

#include <cmath>

namespace {

constexpr float kTolerance = 0.1f;

}  // namespace

extern "C" int _VSKFPolygonTestPoint(const NRKTPoint* points, uint32_t count, NRKTPoint point) {
  if (!points || count == 0) return 0;
  const float px = point.x, py = point.y;
  int inside = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t j = i + 1 == count ? 0 : i + 1;
    const float cx = points[i].x, cy = points[i].y;
    const float nx = points[j].x, ny = points[j].y;
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

extern "C" bool VSKFPolygonTestPoint(const NRKTPoint* points, uint32_t count, NRKTPoint point) {
  return _VSKFPolygonTestPoint(points, count, point) != 0;
}

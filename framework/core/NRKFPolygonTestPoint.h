#pragma once
// Point in polygon by crossing count, with the boundary reported apart. Callers keep their
// points in different shapes (float pairs, point records), so the test reads them through
// pointAt(i), which gives the i-th point as a pair of floats {x, y}.
#include <cmath>
#include <cstdint>
#include <utility>

// One edge (cx, cy) -> (nx, ny) of the test of point (px, py): -1 when the point lies on it
// (within 0.1 of its end vertex, on it when horizontal, or exactly on it), else 0 after turning
// inside over when the edge crosses the ray from the point to the right. An edge whose ends both
// lie more than 0.1 above, or both below, the point plays no part: callers that test many points
// of one row may skip such edges.
inline int NRKFPolygonTestEdge(float cx, float cy, float nx, float ny, float px, float py, int& inside) {
  constexpr float kTolerance = 0.1f;
  auto near = [](float a, float b) { return std::fabs(a - b) < kTolerance; };
  if (near(ny, py)) {
    if (near(nx, px)) return -1;
    if (near(cy, py) && (cx < px) == (nx > px)) return -1;
  }
  if ((cy < py) == (ny < py)) return 0;
  if (cx > px || near(cx, px)) {
    if (nx > px) {
      inside = 1 - inside;
      return 0;
    }
  } else if (!(nx > px)) {
    return 0;
  }
  const double d = static_cast<double>(cx - px) * (ny - py) - static_cast<double>(nx - px) * (cy - py);
  if (d == 0) return -1;
  if ((d > 0) == (ny > cy)) inside = 1 - inside;
  return 0;
}

// 1 inside, 0 outside (and for no points), -1 on an edge or a vertex within 0.1.
template <typename PointAt>
int NRKFPolygonTestPoint(uint32_t count, float px, float py, PointAt pointAt) {
  int inside = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const auto [cx, cy] = pointAt(i);
    const auto [nx, ny] = pointAt(i + 1 == count ? 0 : i + 1);
    if (NRKFPolygonTestEdge(cx, cy, nx, ny, px, py, inside) < 0) return -1;
  }
  return inside;
}

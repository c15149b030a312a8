#pragma once
// Point in polygon by crossing count, with the boundary reported apart. Callers keep their
// points in different shapes (float pairs, point records), so the test reads them through
// pointAt(i), which gives the i-th point as a pair of floats {x, y}.
#include <cmath>
#include <cstdint>
#include <utility>

// 1 inside, 0 outside (and for no points), -1 on an edge or a vertex within 0.1.
template <typename PointAt>
int NRKFPolygonTestPoint(uint32_t count, float px, float py, PointAt pointAt) {
  constexpr float kTolerance = 0.1f;
  auto near = [](float a, float b) { return std::fabs(a - b) < kTolerance; };
  int inside = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const auto [cx, cy] = pointAt(i);
    const auto [nx, ny] = pointAt(i + 1 == count ? 0 : i + 1);
    if (near(ny, py)) {
      if (near(nx, px)) return -1;
      if (near(cy, py) && (cx < px) == (nx > px)) return -1;
    }
    if ((cy < py) == (ny < py)) continue;
    if (cx > px || near(cx, px)) {
      if (nx > px) {
        inside = 1 - inside;
        continue;
      }
    } else if (!(nx > px)) {
      continue;
    }
    const double d = static_cast<double>(cx - px) * (ny - py) - static_cast<double>(nx - px) * (cy - py);
    if (d == 0) return -1;
    if ((d > 0) == (ny > cy)) inside = 1 - inside;
  }
  return inside;
}

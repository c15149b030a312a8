#include "imagekit/VSKFPolygon.h"

#include <utility>

#include "framework/core/NRKFPolygonTestPoint.h"

extern "C" int VSKFPolygonLocatePoint(const NRKTPoint* points, uint32_t count, NRKTPoint point) {
  if (!points) return 0;
  return NRKFPolygonTestPoint(count, point.x, point.y,
                              [points](uint32_t i) { return std::pair(points[i].x, points[i].y); });
}

extern "C" bool VSKFPolygonTestPoint(const NRKTPoint* points, uint32_t count, NRKTPoint point) {
  return VSKFPolygonLocatePoint(points, count, point) != 0;
}

#include "framework/core/NRKCPolygon.h"

#include <algorithm>

Ref<NRKCPolygon> NRKCPolygon::polygonWithLength(uint32_t length) {
  Ref<NRKCPolygon> polygon = adoptRef(new NRKCPolygon());
  try {
    polygon->points_.resize(length);
  } catch (const std::exception&) {
    return nullptr;
  }
  return polygon;
}

Ref<NRKCPolygon> NRKCPolygon::polygonWithLength(uint32_t length, const NRKTPoint* points) {
  if (!points && length) return nullptr;
  Ref<NRKCPolygon> polygon = polygonWithLength(length);
  if (polygon && length) std::copy(points, points + length, polygon->points());
  return polygon;
}

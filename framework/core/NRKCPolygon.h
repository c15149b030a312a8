#pragma once
// An outline: a number of points, each a pair of 32-bit floats x, y, stored one after another.
#include "framework/core/LLKBObject.h"

#include <cstdint>
#include <vector>

struct NRKTPoint {
  float x = 0;
  float y = 0;
};

class NRKCPolygon : public LLKBObject {
public:
  // length points at (0, 0); null when the room cannot be had.
  [[nodiscard]] static Ref<NRKCPolygon> polygonWithLength(uint32_t length);
  // A copy of length points; null for a null array with a length.
  [[nodiscard]] static Ref<NRKCPolygon> polygonWithLength(uint32_t length, const NRKTPoint* points);

  uint32_t length() const { return static_cast<uint32_t>(points_.size()); }
  NRKTPoint* points() { return points_.data(); }
  const NRKTPoint* points() const { return points_.data(); }

private:
  NRKCPolygon() = default;
  std::vector<NRKTPoint> points_;
};

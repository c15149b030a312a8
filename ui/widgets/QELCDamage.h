#pragma once
// What the next frame of a widget window draws again: nothing, one area in window coordinates
// (the union of the rects asked for), or everything. Window thread only.
#include "ui/gl/OGLTGeometry.h"

class QELCDamage {
public:
  void addAll() { all_ = true; }
  // An empty or non-finite rect is ignored.
  void add(const OGLTRect& rect);
  bool any() const { return all_ || !empty_; }
  bool all() const { return all_; }
  // The union of the rects added; meaningless while empty.
  const OGLTRect& area() const { return area_; }
  void clear() { *this = QELCDamage{}; }

private:
  bool all_ = false;
  bool empty_ = true;
  OGLTRect area_{};
};

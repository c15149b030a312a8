#pragma once
// A rounded-box gradient rasterised over a box of device pixels. The cache keys it by what it
// looks like, not by where it is: the paint's placement is kept relative to the box's corner,
// so a shadow of the same size, radius, feather and colours is rasterised once and then only
// moved, however many views show it and wherever they are dragged.
#include <cairo.h>

#include <cstddef>
#include <cstring>

#include "ui/gl/OGLC2DContext.h"

struct OGLC2DContext::CachedGradient {
  OGLTPaint paint{};  // placed relative to the box's top left corner
  int width = 0, height = 0;
  cairo_surface_t* surface = nullptr;

  ~CachedGradient() {
    if (surface) cairo_surface_destroy(surface);
  }
  bool matches(const OGLTPaint& other, int ow, int oh) const {
    return width == ow && height == oh && std::memcmp(&paint, &other, sizeof paint) == 0;
  }
  size_t bytes() const { return static_cast<size_t>(width) * static_cast<size_t>(height) * 4; }
};

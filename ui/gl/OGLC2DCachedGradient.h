#pragma once
// A rounded-box gradient rasterised over one device rectangle. Drawing the same views frame
// after frame asks for the same gradients (shadows, glows), so the context keeps the last few.
#include <cairo.h>

#include <cstring>

#include "ui/gl/OGLC2DContext.h"

struct OGLC2DContext::CachedGradient {
  OGLTPaint paint{};
  int x = 0, y = 0, width = 0, height = 0;
  cairo_surface_t* surface = nullptr;

  ~CachedGradient() {
    if (surface) cairo_surface_destroy(surface);
  }
  bool matches(const OGLTPaint& other, int ox, int oy, int ow, int oh) const {
    return x == ox && y == oy && width == ow && height == oh && std::memcmp(&paint, &other, sizeof paint) == 0;
  }
};

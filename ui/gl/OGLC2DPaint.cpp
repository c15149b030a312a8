// Paints as cairo sources, all in device space: solid colours; linear gradients (a box paint
// whose box is so long that only one edge matters); rounded-box gradients, rasterised from
// their distance field and cached; texture patterns.
#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "ui/gl/OGLC2DCachedGradient.h"
#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLXform.h"

namespace {

// Enough for the shadows and glows of a workbench of views in a few sizes; the pixels are
// bounded too, as a gradient box may be as large as the surface.
constexpr size_t kCachedGradients = 64;
constexpr size_t kCachedGradientBytes = size_t{48} << 20;
// How far beyond the surface (in surface sizes) a gradient's box is kept whole.
constexpr double kGradientReach = 0.5;
// The half length of a linear gradient's box, far beyond any surface.
constexpr float kLinearReach = 1e5f;

float clamp01(float value) { return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f; }

bool sameColor(const OGLTColor& a, const OGLTColor& b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }

OGLTXform paintXform(const OGLTPaint& paint) {
  return {paint.xform[0], paint.xform[1], paint.xform[2], paint.xform[3], paint.xform[4], paint.xform[5]};
}

// Signed distance from a rounded box of half sizes (ex, ey) and radius r centred on 0.
float roundedBoxDistance(float x, float y, float ex, float ey, float r) {
  float dx = std::fabs(x) - (ex - r), dy = std::fabs(y) - (ey - r);
  float outside = std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f));
  return std::min(std::max(dx, dy), 0.0f) + outside - r;
}

uint32_t premultiplied(float r, float g, float b, float a) {
  auto byte = [](float v) { return static_cast<uint32_t>(clamp01(v) * 255.0f + 0.5f); };
  return (byte(a) << 24) | (byte(r * a) << 16) | (byte(g * a) << 8) | byte(b * a);
}

}  // namespace

bool OGLC2DContext::applyPaint(const OGLTPaint& paint) {
  if (paint.image > 0) {
    auto found = textures_.find(paint.image);
    if (found == textures_.end() || !(paint.extent[0] != 0) || !(paint.extent[1] != 0)) return false;
    OGLTXform inverse;
    if (!OGLFXformInverse(paintXform(paint), inverse)) return false;
    const Texture& texture = found->second;
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(texture.surface);
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, inverse[0], inverse[1], inverse[2], inverse[3], inverse[4], inverse[5]);
    cairo_matrix_t stretch;
    cairo_matrix_init_scale(&stretch, texture.width / paint.extent[0], texture.height / paint.extent[1]);
    cairo_matrix_multiply(&matrix, &matrix, &stretch);
    cairo_pattern_set_matrix(pattern, &matrix);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_BILINEAR);
    if (!setSource(pattern)) return false;
    sourceAlpha_ = clamp01(paint.innerColor.a);
    return sourceAlpha_ > 0;
  }
  sourceAlpha_ = 1;
  const OGLTColor& inner = paint.innerColor;
  const OGLTColor& outer = paint.outerColor;
  if (sameColor(inner, outer)) {
    cairo_set_source_rgba(layer().cairo, clamp01(inner.r), clamp01(inner.g), clamp01(inner.b), clamp01(inner.a));
    return true;
  }
  float feather = std::max(paint.feather, 1.0f);
  if (paint.radius == 0 && paint.extent[0] >= kLinearReach * 0.1f) {
    // Only the box's far edge matters: the colour runs along y of the paint space.
    OGLTXform xform = paintXform(paint);
    float x0, y0, x1, y1;
    OGLFXformPoint(xform, 0, paint.extent[1] - feather * 0.5f, x0, y0);
    OGLFXformPoint(xform, 0, paint.extent[1] + feather * 0.5f, x1, y1);
    // Stops mix unpremultiplied; a fade to a transparent end must keep the other end's hue, as
    // a premultiplied mix does.
    OGLTColor from = inner, to = outer;
    if (!(to.a > 0)) to = {from.r, from.g, from.b, 0};
    if (!(from.a > 0)) from = {to.r, to.g, to.b, 0};
    cairo_pattern_t* pattern = cairo_pattern_create_linear(x0, y0, x1, y1);
    cairo_pattern_add_color_stop_rgba(pattern, 0, clamp01(from.r), clamp01(from.g), clamp01(from.b), clamp01(from.a));
    cairo_pattern_add_color_stop_rgba(pattern, 1, clamp01(to.r), clamp01(to.g), clamp01(to.b), clamp01(to.a));
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    return setSource(pattern);
  }
  return applyBoxGradient(paint);
}

// Takes the pattern as the source unless cairo refused it (coordinates or a matrix that are not
// finite): a source in error would stop all drawing on the layer for good.
bool OGLC2DContext::setSource(cairo_pattern_t* pattern) {
  bool usable = cairo_pattern_status(pattern) == CAIRO_STATUS_SUCCESS;
  if (usable) cairo_set_source(layer().cairo, pattern);
  cairo_pattern_destroy(pattern);
  return usable;
}

// The gradient over the current path's device box, from the cache when a gradient that looks
// the same was drawn before (anywhere). The box is the path's own, not cut by the scissor, so
// that a partial redraw gets the pixels of a full one; only a path reaching far beyond the
// surface is cut to it.
bool OGLC2DContext::applyBoxGradient(const OGLTPaint& paint) {
  double x0, y0, x1, y1;
  cairo_path_extents(layer().cairo, &x0, &y0, &x1, &y1);
  double reachX = layer().pixelWidth * kGradientReach, reachY = layer().pixelHeight * kGradientReach;
  double clamped[4] = {std::max(x0, -reachX), std::max(y0, -reachY), std::min(x1, layer().pixelWidth + reachX),
                       std::min(y1, layer().pixelHeight + reachY)};
  if (!(clamped[2] > clamped[0]) || !(clamped[3] > clamped[1])) return false;
  int left = static_cast<int>(std::floor(clamped[0])), top = static_cast<int>(std::floor(clamped[1]));
  int width = static_cast<int>(std::ceil(clamped[2])) - left, height = static_cast<int>(std::ceil(clamped[3])) - top;
  OGLTPaint placed = paint;
  placed.xform[4] -= static_cast<float>(left);
  placed.xform[5] -= static_cast<float>(top);

  auto hit = std::find_if(gradients_.begin(), gradients_.end(),
                          [&](const auto& cached) { return cached->matches(placed, width, height); });
  if (hit != gradients_.end()) {
    gradients_.splice(gradients_.begin(), gradients_, hit);
  } else {
    cairo_surface_t* surface = rasterBoxGradient(placed, width, height);
    if (!surface) return false;
    auto cached = std::make_unique<CachedGradient>();
    cached->paint = placed;
    cached->width = width;
    cached->height = height;
    cached->surface = surface;
    gradientBytes_ += cached->bytes();
    gradients_.push_front(std::move(cached));
    while (gradients_.size() > 1 && (gradients_.size() > kCachedGradients || gradientBytes_ > kCachedGradientBytes)) {
      gradientBytes_ -= gradients_.back()->bytes();
      gradients_.pop_back();
    }
  }
  cairo_set_source_surface(layer().cairo, gradients_.front()->surface, left, top);
  return true;
}

// The gradient's pixels over a width x height box whose corner is the paint's origin; null
// when the paint cannot be inverted or the surface not made.
cairo_surface_t* OGLC2DContext::rasterBoxGradient(const OGLTPaint& paint, int width, int height) {
  OGLTXform inverse;
  if (!OGLFXformInverse(paintXform(paint), inverse)) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  unsigned char* data = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  float feather = std::max(paint.feather, 1.0f);
  const OGLTColor& in = paint.innerColor;
  const OGLTColor& out = paint.outerColor;
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * static_cast<size_t>(stride));
    float py = static_cast<float>(y) + 0.5f;
    for (int x = 0; x < width; ++x) {
      float px = static_cast<float>(x) + 0.5f;
      float lx, ly;
      OGLFXformPoint(inverse, px, py, lx, ly);
      float d = clamp01((roundedBoxDistance(lx, ly, paint.extent[0], paint.extent[1], paint.radius) + feather * 0.5f) /
                        feather);
      // Colours mix premultiplied, as the alpha blend of the edges does.
      float a = in.a + (out.a - in.a) * d;
      auto channel = [&](float ci, float co) {
        float pre = clamp01(ci) * clamp01(in.a) + (clamp01(co) * clamp01(out.a) - clamp01(ci) * clamp01(in.a)) * d;
        return a > 0 ? pre / a : 0.0f;
      };
      row[x] = premultiplied(channel(in.r, out.r), channel(in.g, out.g), channel(in.b, out.b), a);
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

// Text on whole pixels. Positions are computed in "scaled" units (logical units times the
// font scale of the transform): the pen starts at x, glyph quads sit at floor(pen + offset),
// and every advance, kerning and letter spacing step is rounded to a whole pixel. A solid fill
// colour is blended straight into the surface; any other paint goes through cairo.
#include <cairo.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLTextIterator.h"
#include "ui/gl/OGLXform.h"

namespace {

const char* endOf(const char* string, const char* end) { return end ? end : string + std::strlen(string); }

uint32_t div255(uint32_t value) { return (value + 128 + ((value + 128) >> 8)) >> 8; }

}  // namespace

bool OGLC2DContext::textStyle(TextStyle& style) const {
  const State& s = state();
  if (!fonts_.validFace(s.font)) return false;
  float average = std::min(OGLFXformAverageScale(s.xform), 1e4f);
  float scale = std::min(static_cast<float>(static_cast<int>(average / 0.01f + 0.5f)) * 0.01f, 4.0f * pixelRatio_);
  float size = s.fontSize * scale;
  if (!(scale > 0) || !std::isfinite(size) || size > 3000.0f) return false;
  style.face = s.font;
  style.size10 = static_cast<int>(size * 10.0f);
  style.blur = std::isfinite(s.fontBlur) ? std::clamp(static_cast<int>(s.fontBlur * scale), 0, 20) : 0;
  // Held where whole-pixel steps still fit an int, far beyond any surface.
  style.spacing = std::isfinite(s.letterSpacing) ? std::clamp(s.letterSpacing * scale, -1e6f, 1e6f) : 0;
  style.align = s.textAlign;
  style.scale = scale;
  return style.size10 >= 2;
}

float OGLC2DContext::text(float x, float y, const char* string, const char* end) {
  TextStyle style;
  if (!string || !textStyle(style)) return x;
  end = endOf(string, end);
  float sx = x * style.scale, sy = y * style.scale;
  if (!(style.align & kOGLAlignLeft))
    sx += OGLFTextHorizontalShift(
        style.align, OGLFTextRunBounds(fonts_, style.face, style.size10, style.blur, style.spacing, style.align, sx, sy,
                                       string, end, nullptr));
  sy += OGLFTextVerticalAlign(fonts_.metrics(style.face), style.align, style.size10);

  const State& s = state();
  bool solid = s.fill.image <= 0 && std::memcmp(&s.fill.innerColor, &s.fill.outerColor, sizeof(OGLTColor)) == 0;
  int clip[4] = {0, 0, layer().pixelWidth, layer().pixelHeight};
  if (s.scissor) {
    clip[0] = std::max(clip[0], static_cast<int>(std::lround(s.scissorRect[0])));
    clip[1] = std::max(clip[1], static_cast<int>(std::lround(s.scissorRect[1])));
    clip[2] = std::min(clip[2], static_cast<int>(std::lround(s.scissorRect[2])));
    clip[3] = std::min(clip[3], static_cast<int>(std::lround(s.scissorRect[3])));
  }
  uint32_t color = 0;
  if (solid) {
    const OGLTColor& c = s.fill.innerColor;
    auto byte = [](float v) {
      return static_cast<uint32_t>(std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f : 0.0f);
    };
    uint32_t a = byte(c.a);
    color = (a << 24) | (div255(byte(c.r) * a) << 16) | (div255(byte(c.g) * a) << 8) | div255(byte(c.b) * a);
  }
  bool visible = clip[2] > clip[0] && clip[3] > clip[1] && (!solid || (color >> 24) != 0);

  float invScale = 1.0f / style.scale;
  OGLCTextIterator it(fonts_, style.face, style.size10, style.blur, style.spacing, string, end, visible);
  it.start(sx, sy);
  OGLTQuad q;
  bool started = false;
  int inkTop = INT32_MAX, inkBottom = INT32_MIN;
  while (it.advance(q)) {
    if (!visible || !it.glyph || !it.glyph->coverage) continue;
    float dx, dy;
    OGLFXformPoint(s.xform, q.x0 * invScale, q.y0 * invScale, dx, dy);
    if (!std::isfinite(dx) || !std::isfinite(dy) || std::fabs(dx) > 1e6f || std::fabs(dy) > 1e6f) continue;
    int gx = static_cast<int>(std::lround(dx)), gy = static_cast<int>(std::lround(dy));
    const OGLTGlyph& glyph = *it.glyph;
    if (gx >= clip[2] || gy >= clip[3] || gx + glyph.width <= clip[0] || gy + glyph.height <= clip[1]) continue;
    if (!started) {
      startDrawing();
      cairo_surface_flush(layer().surface);
      started = true;
      if (!solid && !applyTextPaint(sx, sy, string, end, style)) {
        visible = false;
        continue;
      }
    }
    inkTop = std::min(inkTop, gy);
    inkBottom = std::max(inkBottom, gy + glyph.height);
    if (solid) blendGlyph(glyph, gx, gy, color, clip);
    else maskGlyph(glyph, gx, gy);
  }
  if (inkBottom > inkTop) markDirtyRows(inkTop, inkBottom);
  if (started && solid) cairo_surface_mark_dirty(layer().surface);
  return it.nextX * invScale;
}

// Each of the four 8-bit channels of a packed pixel times f / 255, two channels at a time.
static uint32_t scalePixel(uint32_t pixel, uint32_t f) {
  uint32_t rb = (pixel & 0x00FF00FFu) * f + 0x00800080u;
  rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
  uint32_t ag = ((pixel >> 8) & 0x00FF00FFu) * f + 0x00800080u;
  ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
  return rb | ag;
}

// Source over, with the coverage scaling the premultiplied colour.
static uint32_t blendPixel(uint32_t under, uint32_t color, uint32_t cover) {
  uint32_t source = scalePixel(color, cover);
  return source + scalePixel(under, 255 - (source >> 24));
}

#if defined(__SSE2__)
// Each 16-bit lane (a channel) times the lane of f / 255, rounded exactly as scalePixel rounds.
static __m128i scaleLanes(__m128i value, __m128i f) {
  __m128i t = _mm_add_epi16(_mm_mullo_epi16(value, f), _mm_set1_epi16(0x80));
  return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// blendPixel on two pixels widened to 16-bit lanes, each pixel's coverage in its four lanes.
static __m128i blendTwo(__m128i under, __m128i color, __m128i cover) {
  __m128i source = scaleLanes(color, cover);
  __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(source, 0xFF), 0xFF);
  return _mm_add_epi16(source, scaleLanes(under, _mm_sub_epi16(_mm_set1_epi16(255), alpha)));
}

// blendPixel on four pixels at once; color is the colour widened to 16-bit lanes, twice.
static void blendFour(uint32_t* row, const uint8_t* coverage, __m128i color) {
  uint32_t covers;
  std::memcpy(&covers, coverage, 4);
  if (covers == 0) return;
  __m128i zero = _mm_setzero_si128();
  __m128i pairs = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(covers)), zero),
                                     _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(covers)), zero));
  __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
  __m128i first = blendTwo(_mm_unpacklo_epi8(under, zero), color, _mm_unpacklo_epi32(pairs, pairs));
  __m128i second = blendTwo(_mm_unpackhi_epi8(under, zero), color, _mm_unpackhi_epi32(pairs, pairs));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(row), _mm_packus_epi16(first, second));
}
#endif

// Source over, with the glyph's coverage scaling the premultiplied colour; four pixels at a
// time where the processor allows, with the same arithmetic.
void OGLC2DContext::blendGlyph(const OGLTGlyph& glyph, int gx, int gy, uint32_t color, const int clip[4]) {
  int x0 = std::max(gx, clip[0]), x1 = std::min(gx + glyph.width, clip[2]);
  int y0 = std::max(gy, clip[1]), y1 = std::min(gy + glyph.height, clip[3]);
  unsigned char* data = cairo_image_surface_get_data(layer().surface);
#if defined(__SSE2__)
  __m128i wide = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(color)), _mm_setzero_si128());
#endif
  for (int y = y0; y < y1; ++y) {
    const uint8_t* coverage = glyph.coverage.get() + (y - gy) * glyph.stride - gx;
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * static_cast<size_t>(layer().stride));
    int x = x0;
#if defined(__SSE2__)
    for (; x + 4 <= x1; x += 4) blendFour(row + x, coverage + x, wide);
#endif
    for (; x < x1; ++x)
      if (coverage[x] != 0) row[x] = blendPixel(row[x], color, coverage[x]);
  }
}

// A paint other than a solid colour, over the run's box (a gradient covers what it spans).
bool OGLC2DContext::applyTextPaint(float sx, float sy, const char* string, const char* end, const TextStyle& style) {
  if (!applyScissor()) return false;
  float box[4];
  OGLFTextRunBounds(fonts_, style.face, style.size10, style.blur, style.spacing, kOGLAlignLeft | kOGLAlignBaseline, sx,
                    sy, string, end, box);
  float invScale = 1.0f / style.scale;
  float x0, y0, x1, y1;
  OGLFXformPoint(state().xform, box[0] * invScale, box[1] * invScale, x0, y0);
  OGLFXformPoint(state().xform, box[2] * invScale, box[3] * invScale, x1, y1);
  cairo_new_path(layer().cairo);
  cairo_rectangle(layer().cairo, std::min(x0, x1), std::min(y0, y1), std::fabs(x1 - x0), std::fabs(y1 - y0));
  bool painted = applyPaint(state().fill);
  cairo_new_path(layer().cairo);
  return painted;
}

void OGLC2DContext::maskGlyph(const OGLTGlyph& glyph, int gx, int gy) {
  cairo_surface_t* mask = cairo_image_surface_create_for_data(glyph.coverage.get(), CAIRO_FORMAT_A8, glyph.width,
                                                              glyph.height, glyph.stride);
  if (cairo_surface_status(mask) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(layer().surface);
    cairo_mask_surface(layer().cairo, mask, gx, gy);
  }
  cairo_surface_destroy(mask);
}

float OGLC2DContext::textBounds(float x, float y, const char* string, const char* end, float* bounds) {
  TextStyle style;
  if (!string || !textStyle(style)) {
    if (bounds) std::fill(bounds, bounds + 4, 0.0f);
    return 0;
  }
  end = endOf(string, end);
  float invScale = 1.0f / style.scale;
  float width = OGLFTextRunBounds(fonts_, style.face, style.size10, style.blur, style.spacing, style.align,
                                  x * style.scale, y * style.scale, string, end, bounds);
  if (bounds) {
    // Rows are as tall as the line, whatever glyphs they hold.
    const OGLTVerticalMetrics& metrics = fonts_.metrics(style.face);
    float size = static_cast<float>(style.size10) / 10.0f;
    float top = y * style.scale + OGLFTextVerticalAlign(metrics, style.align, style.size10) - metrics.ascender * size;
    bounds[1] = top;
    bounds[3] = top + metrics.lineHeight * size;
    for (int i = 0; i < 4; ++i) bounds[i] *= invScale;
  }
  return width * invScale;
}

bool OGLC2DContext::textMetrics(float* ascender, float* descender, float* lineHeight) {
  TextStyle style;
  if (!textStyle(style)) return false;
  const OGLTVerticalMetrics& metrics = fonts_.metrics(style.face);
  float size = static_cast<float>(style.size10) / 10.0f / style.scale;
  if (ascender) *ascender = metrics.ascender * size;
  if (descender) *descender = metrics.descender * size;
  if (lineHeight) *lineHeight = metrics.lineHeight * size;
  return true;
}

int OGLC2DContext::textGlyphPositions(float x, float y, const char* string, const char* end,
                                      OGLTGlyphPosition* positions, int max) {
  TextStyle style;
  if (!string || !positions || max <= 0 || !textStyle(style)) return 0;
  end = endOf(string, end);
  if (string == end) return 0;
  float sx = x * style.scale, sy = y * style.scale;
  if (!(style.align & kOGLAlignLeft))
    sx += OGLFTextHorizontalShift(
        style.align, OGLFTextRunBounds(fonts_, style.face, style.size10, style.blur, style.spacing, style.align, sx, sy,
                                       string, end, nullptr));
  float invScale = 1.0f / style.scale;
  OGLCTextIterator it(fonts_, style.face, style.size10, style.blur, style.spacing, string, end, false);
  it.start(sx, sy);
  OGLTQuad q;
  int count = 0;
  while (count < max && it.advance(q)) {
    positions[count].str = it.str;
    positions[count].x = it.x * invScale;
    positions[count].minx = std::min(it.x, q.x0) * invScale;
    positions[count].maxx = std::max(it.nextX, q.x1) * invScale;
    ++count;
  }
  return count;
}

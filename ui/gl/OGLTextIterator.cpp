#include "ui/gl/OGLTextIterator.h"

#include <algorithm>
#include <cmath>

#include "ui/gl/OGLF2D.h"

namespace {
constexpr uint32_t kReplacement = 0xFFFD;
}  // namespace

uint32_t OGLFDecodeUTF8(const char*& p, const char* end) {
  auto byte = [](const char* at) { return static_cast<uint32_t>(static_cast<unsigned char>(*at)); };
  uint32_t lead = byte(p);
  if (lead < 0x80) {
    ++p;
    return lead;
  }
  int count;
  uint32_t value, minimum;
  if ((lead & 0xE0) == 0xC0) {
    count = 1, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    count = 2, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    count = 3, value = lead & 0x07, minimum = 0x10000;
  } else {
    ++p;
    return kReplacement;
  }
  if (end - p <= count) {
    ++p;
    return kReplacement;
  }
  for (int i = 1; i <= count; ++i) {
    uint32_t next = byte(p + i);
    if ((next & 0xC0) != 0x80) {
      ++p;
      return kReplacement;
    }
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++p;
    return kReplacement;
  }
  p += count + 1;
  return value;
}

bool OGLCTextIterator::advance(OGLTQuad& quad) {
  str = next;
  if (next >= end_) return false;
  codePoint = OGLFDecodeUTF8(next, end_);
  x = nextX;
  const OGLTGlyph* found = fonts_.glyph(face_, codePoint, size10_, blur_, bitmaps_);
  glyph = found;
  if (found) {
    if (previousGlyph >= 0) {
      float kern = fonts_.kerning(face_, static_cast<uint32_t>(previousGlyph), found->index, size10_);
      nextX += static_cast<float>(static_cast<int>(kern + spacing_ + 0.5f));
    }
    quad.x0 = std::floor(nextX + static_cast<float>(found->left));
    quad.y0 = std::floor(y + static_cast<float>(found->top));
    quad.x1 = quad.x0 + static_cast<float>(found->width);
    quad.y1 = quad.y0 + static_cast<float>(found->height);
    nextX += static_cast<float>(static_cast<int>(static_cast<float>(found->advance10) / 10.0f + 0.5f));
    previousGlyph = static_cast<int>(found->index);
  } else {
    previousGlyph = -1;
  }
  return true;
}

float OGLFTextHorizontalShift(int align, float advance) {
  if (align & kOGLAlignLeft) return 0;
  if (align & kOGLAlignRight) return -advance;
  if (align & kOGLAlignCenter) return -advance * 0.5f;
  return 0;
}

float OGLFTextVerticalAlign(const OGLTVerticalMetrics& metrics, int align, int size10) {
  float size = static_cast<float>(size10) / 10.0f;
  if (align & kOGLAlignTop) return metrics.ascender * size;
  if (align & kOGLAlignMiddle) return (metrics.ascender + metrics.descender) / 2.0f * size;
  if (align & kOGLAlignBaseline) return 0;
  if (align & kOGLAlignBottom) return metrics.descender * size;
  return 0;
}

float OGLFTextRunBounds(OGLCFontStash& fonts, int face, int size10, int blur, float spacing, int align, float x,
                        float y, const char* string, const char* end, float* bounds) {
  y += OGLFTextVerticalAlign(fonts.metrics(face), align, size10);
  float minX = x, maxX = x, minY = y, maxY = y;
  OGLCTextIterator it(fonts, face, size10, blur, spacing, string, end, false);
  it.start(x, y);
  OGLTQuad q;
  while (it.advance(q)) {
    if (!it.glyph) continue;
    minX = std::min(minX, q.x0);
    maxX = std::max(maxX, q.x1);
    minY = std::min(minY, q.y0);
    maxY = std::max(maxY, q.y1);
  }
  float advance = it.nextX - x;
  float shift = OGLFTextHorizontalShift(align, advance);
  minX += shift;
  maxX += shift;
  if (bounds) {
    bounds[0] = minX;
    bounds[1] = minY;
    bounds[2] = maxX;
    bounds[3] = maxY;
  }
  return advance;
}

#pragma once
// Walking a UTF-8 run glyph by glyph on whole pixels, in scaled units (see OGLC2DText.cpp).
#include <cstdint>

#include "ui/gl/OGLCFontStash.h"

// One code point from [p, end), p moved past it; a malformed sequence yields U+FFFD for its
// first byte only, so the text after it still shows.
uint32_t OGLFDecodeUTF8(const char*& p, const char* end);

struct OGLTQuad {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

class OGLCTextIterator {
public:
  OGLCTextIterator(OGLCFontStash& fonts, int face, int size10, int blur, float spacing, const char* string,
                   const char* end, bool bitmaps)
      : next(string),
        fonts_(fonts),
        face_(face),
        size10_(size10),
        blur_(blur),
        spacing_(spacing),
        end_(end),
        bitmaps_(bitmaps) {}

  void start(float startX, float startY) {
    x = nextX = startX;
    y = startY;
  }
  // The next glyph: [str, next) are its bytes, x the pen before it, nextX after it, quad its box.
  bool advance(OGLTQuad& quad);

  float x = 0, nextX = 0, y = 0;
  const char* str = nullptr;
  const char* next;
  uint32_t codePoint = 0;
  const OGLTGlyph* glyph = nullptr;
  int previousGlyph = -1;

private:
  OGLCFontStash& fonts_;
  int face_, size10_, blur_;
  float spacing_;
  const char* end_;
  bool bitmaps_;
};

// How far a run of that advance moves for the horizontal alignment (left wins, then right).
float OGLFTextHorizontalShift(int align, float advance);

// Offset from the y given to the baseline, in scaled units.
float OGLFTextVerticalAlign(const OGLTVerticalMetrics& metrics, int align, int size10);

// Advance of the run and, when asked, the box of its glyph quads (scaled units, pen at x, y,
// shifted by the horizontal alignment).
float OGLFTextRunBounds(OGLCFontStash& fonts, int face, int size10, int blur, float spacing, int align, float x,
                        float y, const char* string, const char* end, float* bounds);

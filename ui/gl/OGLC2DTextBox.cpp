// Wrapped text: rows break after the last word that fits, a word longer than the row breaks
// where it overflows, new lines always break, and white space at the start of a row is skipped.
#include <algorithm>
#include <cstring>

#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLTextIterator.h"

namespace {

enum class Kind { Space, NewLine, Char, WideChar };

Kind kindOf(uint32_t codePoint, uint32_t previous) {
  switch (codePoint) {
    case 9:
    case 11:
    case 12:
    case 32:
    case 0xA0:
      return Kind::Space;
    case 10:
      return previous == 13 ? Kind::Space : Kind::NewLine;
    case 13:
      return previous == 10 ? Kind::Space : Kind::NewLine;
    case 0x85:
      return Kind::NewLine;
    default:
      break;
  }
  // Ideographs and kana break between any two characters.
  bool wide = (codePoint >= 0x4E00 && codePoint <= 0x9FFF) || (codePoint >= 0x3000 && codePoint <= 0x30FF) ||
              (codePoint >= 0xFF00 && codePoint <= 0xFFEF) || (codePoint >= 0x1100 && codePoint <= 0x11FF) ||
              (codePoint >= 0x3130 && codePoint <= 0x318F) || (codePoint >= 0xAC00 && codePoint <= 0xD7AF);
  return wide ? Kind::WideChar : Kind::Char;
}

bool isChar(Kind kind) { return kind == Kind::Char || kind == Kind::WideChar; }

// Where a row starts within the box for the horizontal alignment.
float rowShift(int horizontal, float boxWidth, float rowWidth) {
  if (horizontal & kOGLAlignLeft) return 0;
  if (horizontal & kOGLAlignCenter) return boxWidth * 0.5f - rowWidth * 0.5f;
  if (horizontal & kOGLAlignRight) return boxWidth - rowWidth;
  return 0;
}

const char* endOf(const char* string, const char* end) { return end ? end : string + std::strlen(string); }

}  // namespace

int OGLC2DContext::textBreakLines(const char* string, const char* end, float breakWidth, OGLTTextRow* rows, int max) {
  TextStyle style;
  if (!string || (rows && max <= 0) || !textStyle(style)) return 0;
  end = endOf(string, end);
  if (string == end) return 0;
  float invScale = 1.0f / style.scale;
  breakWidth *= style.scale;

  int count = 0;
  // Stores the row when there is room; false once the rows are full.
  auto emit = [&](const char* start, const char* stop, const char* next, float width, float minx, float maxx) {
    if (rows) rows[count] = {start, stop, next, width * invScale, minx * invScale, maxx * invScale};
    ++count;
    return !rows || count < max;
  };

  OGLCTextIterator it(fonts_, style.face, style.size10, style.blur, style.spacing, string, end, false);
  it.start(0, 0);
  OGLTQuad q;
  const char* rowStart = nullptr;
  const char* rowEnd = nullptr;
  const char* wordStart = nullptr;
  const char* breakEnd = nullptr;
  float rowStartX = 0, rowWidth = 0, rowMinX = 0, rowMaxX = 0;
  float wordStartX = 0, wordMinX = 0, breakWidthSoFar = 0, breakMaxX = 0;
  Kind previousKind = Kind::Space;
  uint32_t previousCode = 0;

  auto startRow = [&](const char* start, float startX, float minX) {
    rowStartX = startX;
    rowStart = start;
    rowEnd = it.next;
    rowWidth = it.nextX - rowStartX;
    rowMinX = minX - rowStartX;
    rowMaxX = q.x1 - rowStartX;
    wordStart = start;
    wordStartX = startX;
    wordMinX = minX;
    breakEnd = rowStart;
    breakWidthSoFar = 0;
    breakMaxX = 0;
  };

  while (it.advance(q)) {
    Kind kind = kindOf(it.codePoint, previousCode);
    if (kind == Kind::NewLine) {
      if (!emit(rowStart ? rowStart : it.str, rowEnd ? rowEnd : it.str, it.next, rowWidth, rowMinX, rowMaxX))
        return count;
      rowStart = rowEnd = nullptr;
      rowWidth = rowMinX = rowMaxX = 0;
    } else if (!rowStart) {
      if (isChar(kind)) startRow(it.str, it.x, q.x0);
    } else {
      float nextWidth = it.nextX - rowStartX;
      if (isChar(kind)) {
        rowEnd = it.next;
        rowWidth = it.nextX - rowStartX;
        rowMaxX = q.x1 - rowStartX;
      }
      if ((isChar(previousKind) && kind == Kind::Space) || kind == Kind::WideChar) {
        breakEnd = it.str;
        breakWidthSoFar = rowWidth;
        breakMaxX = rowMaxX;
      }
      if ((previousKind == Kind::Space && isChar(kind)) || kind == Kind::WideChar) {
        wordStart = it.str;
        wordStartX = it.x;
        wordMinX = q.x0;
      }
      if (isChar(kind) && nextWidth > breakWidth) {
        if (breakEnd == rowStart) {
          // A word longer than the row: break it where it overflows.
          if (!emit(rowStart, it.str, it.str, rowWidth, rowMinX, rowMaxX)) return count;
          startRow(it.str, it.x, q.x0);
        } else {
          // Break after the last word that fits; the row goes on with the current word.
          if (!emit(rowStart, breakEnd, wordStart, breakWidthSoFar, rowMinX, breakMaxX)) return count;
          float minX = wordMinX;
          const char* start = wordStart;
          float startX = wordStartX;
          startRow(start, startX, minX);
        }
      }
    }
    previousCode = it.codePoint;
    previousKind = kind;
  }
  if (rowStart) emit(rowStart, rowEnd, end, rowWidth, rowMinX, rowMaxX);
  return count;
}

template <typename Visit>
void OGLC2DContext::forEachBoxRow(float y, float width, float lineHeight, const char* string, const char* end,
                                  Visit visit) {
  end = endOf(string, end);
  int align = state().textAlign;
  int horizontal = align & (kOGLAlignLeft | kOGLAlignCenter | kOGLAlignRight);
  state().textAlign = kOGLAlignLeft | (align & (kOGLAlignTop | kOGLAlignMiddle | kOGLAlignBottom | kOGLAlignBaseline));
  OGLTTextRow rows[2];
  int count;
  while (string < end && (count = textBreakLines(string, end, width, rows, 2)) > 0) {
    for (int i = 0; i < count; ++i) {
      visit(rows[i], rowShift(horizontal, width, rows[i].width), y);
      y += lineHeight * state().lineHeight;
    }
    if (rows[count - 1].next <= string) break;
    string = rows[count - 1].next;
  }
  state().textAlign = align;
}

void OGLC2DContext::textBox(float x, float y, float width, const char* string, const char* end) {
  float lineHeight = 0;
  if (!string || !textMetrics(nullptr, nullptr, &lineHeight)) return;
  forEachBoxRow(y, width, lineHeight, string, end,
                [&](const OGLTTextRow& row, float shift, float rowY) { text(x + shift, rowY, row.start, row.end); });
}

void OGLC2DContext::textBoxBounds(float x, float y, float width, const char* string, const char* end, float* bounds) {
  float lineHeight = 0;
  if (!string || !textMetrics(nullptr, nullptr, &lineHeight)) {
    if (bounds) std::fill(bounds, bounds + 4, 0.0f);
    return;
  }
  // The vertical extent of one row, relative to its y.
  float line[4];
  textBounds(0, 0, "", nullptr, line);
  float minX = x, maxX = x, minY = y, maxY = y;
  forEachBoxRow(y, width, lineHeight, string, end, [&](const OGLTTextRow& row, float shift, float rowY) {
    minX = std::min(minX, x + row.minx + shift);
    maxX = std::max(maxX, x + row.maxx + shift);
    minY = std::min(minY, rowY + line[1]);
    maxY = std::max(maxY, rowY + line[3]);
  });
  if (bounds) {
    bounds[0] = minX;
    bounds[1] = minY;
    bounds[2] = maxX;
    bounds[3] = maxY;
  }
}

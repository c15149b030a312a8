#pragma once
// The rows of a text box: the text wrapped to a width, each row with its own byte range and
// the positions of its characters, so that a point, a caret position and a byte offset can be
// turned into one another. Plain functions over a layout record.
//
// Offsets are bytes of UTF-8 text that fall on whole characters. A position is {row, glyph}:
// glyph -1 stands before the row's first character, glyph g >= 0 after its character g;
// (-1, -1) is none. White space where a row wraps belongs to no row: an offset inside it shows
// at the end of the row before.
#include <cstdint>
#include <vector>

#include "ui/gl/OGLTGeometry.h"

struct OGLC2DContext;

struct QELTTextboxGlyph {
  uint32_t offset;  // of the character's first byte, from the row's start
  float x, minx, maxx;
};

struct QELTTextboxRow {
  uint32_t start;  // byte offset of the row's first shown byte
  uint32_t end;    // one past its last shown byte
  float width;
  std::vector<QELTTextboxGlyph> glyphs;
};

struct QELTTextboxLayout {
  std::vector<QELTTextboxRow> rows;
  float rowHeight = 0;  // every row: the line height times the factor
  float width = 0;      // the width the rows were wrapped to
};

struct QELTTextboxPosition {
  int32_t row = -1, glyph = -1;
  bool operator==(const QELTTextboxPosition&) const = default;
};

void QELFTextboxLayoutClear(QELTTextboxLayout* layout);
// Wraps the whole text with the context's current font (aligned left and top). On failure the
// layout is kept as it was and the answer is false.
bool QELFTextboxLayoutSetup(QELTTextboxLayout* layout, OGLC2DContext* ctx, const char* text, float width,
                            float lineHeightFactor);
// After bytes [at, at + removed) of the text were replaced by `inserted` bytes: wraps again
// from shortly before the changed row until the rows meet the old ones again (the rows after
// that cannot change and are only moved). Falls back to Setup when the layout was made for
// another width or is empty.
bool QELFTextboxLayoutUpdate(QELTTextboxLayout* layout, OGLC2DContext* ctx, const char* text, float width,
                             float lineHeightFactor, uint32_t at, uint32_t removed, uint32_t inserted);
// The position under a point in text coordinates; (-1, -1) without rows. Points above the rows
// take the first row, points below them the last.
QELTTextboxPosition QELFTextboxLayoutFindGlyph(const QELTTextboxLayout* layout, OGLTPoint point);
// The byte offset of a position; false for a row that does not exist.
bool QELFTextboxLayoutFindOffset(const QELTTextboxLayout* layout, QELTTextboxPosition position, uint32_t* offset);
// The position that shows an offset; (-1, -1) without rows.
QELTTextboxPosition QELFTextboxLayoutFindGlyphForOffset(const QELTTextboxLayout* layout, uint32_t offset);
// The glyph's rect in text coordinates (glyph -1: zero wide at the row's left); false for a
// row that does not exist.
bool QELFTextboxLayoutRectForGlyph(const QELTTextboxLayout* layout, QELTTextboxPosition position, OGLTRect* rect);

#include "ui/widgets/QELFTextboxLayout.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "ui/gl/OGLF2D.h"

namespace {

// The rows of the breaks, each with its glyph positions.
void makeRows(OGLC2DContext* ctx, const char* text, const OGLTTextRow* breaks, size_t count,
              std::vector<QELTTextboxRow>& rows) {
  rows.resize(count);
  std::vector<OGLTGlyphPosition> scratch;
  for (size_t i = 0; i < count; ++i) {
    const OGLTTextRow& b = breaks[i];
    QELTTextboxRow& row = rows[i];
    row.start = static_cast<uint32_t>(b.start - text);
    row.end = static_cast<uint32_t>(b.end - text);
    row.width = b.width;
    int length = static_cast<int>(b.end - b.start);
    scratch.resize(static_cast<size_t>(length));
    int glyphs =
        length > 0 ? OGLF2DTextGlyphPositionsWithLength(ctx, b.start, length, scratch.data(), length, 0, 0) : 0;
    row.glyphs.resize(static_cast<size_t>(glyphs));
    for (int g = 0; g < glyphs; ++g) {
      const OGLTGlyphPosition& p = scratch[static_cast<size_t>(g)];
      row.glyphs[static_cast<size_t>(g)] = {static_cast<uint32_t>(p.str - b.start), p.x, p.minx, p.maxx};
    }
  }
}

float rowHeightOf(OGLC2DContext* ctx, float factor) {
  float bounds[4] = {0, 0, 0, 0};
  OGLF2DTextBoundsWithLength(ctx, "#", 1, bounds, 0, 0);
  return (bounds[3] - bounds[1]) * factor;
}

// The last row that starts at or before the offset (the first row when none does).
size_t rowHolding(const std::vector<QELTTextboxRow>& rows, uint32_t offset) {
  auto after = std::upper_bound(rows.begin(), rows.end(), offset,
                                [](uint32_t o, const QELTTextboxRow& row) { return o < row.start; });
  return after == rows.begin() ? 0 : static_cast<size_t>(after - rows.begin()) - 1;
}

}  // namespace

void QELFTextboxLayoutClear(QELTTextboxLayout* layout) {
  if (!layout) return;
  layout->rows.clear();
  layout->rows.shrink_to_fit();
}

bool QELFTextboxLayoutSetup(QELTTextboxLayout* layout, OGLC2DContext* ctx, const char* text, float width,
                            float lineHeightFactor) {
  if (!layout || !ctx || !text) return false;
  std::vector<QELTTextboxRow> rows;
  int count = OGLF2DTextBreaksWithWidth(ctx, text, nullptr, 0, width);
  if (count > 0) {
    std::vector<OGLTTextRow> breaks(static_cast<size_t>(count));
    count = OGLF2DTextBreaksWithWidth(ctx, text, breaks.data(), count, width);
    makeRows(ctx, text, breaks.data(), static_cast<size_t>(count), rows);
  }
  layout->rows = std::move(rows);
  layout->rowHeight = rowHeightOf(ctx, lineHeightFactor);
  layout->width = width;
  return true;
}

bool QELFTextboxLayoutUpdate(QELTTextboxLayout* layout, OGLC2DContext* ctx, const char* text, float width,
                             float lineHeightFactor, uint32_t at, uint32_t removed, uint32_t inserted) {
  if (!layout || !ctx || !text) return false;
  std::vector<QELTTextboxRow>& old = layout->rows;
  if (old.empty() || layout->width != width) return QELFTextboxLayoutSetup(layout, ctx, text, width, lineHeightFactor);
  // A change in one row can pull a word up into the row before; the rows before that keep
  // their breaks, which depend only on the text up to the row after them.
  size_t changed = rowHolding(old, at);
  size_t begin = changed >= 2 ? changed - 2 : 0;
  const char* from = text + old[begin].start;
  int64_t delta = static_cast<int64_t>(inserted) - static_cast<int64_t>(removed);
  uint64_t oldEditEnd = static_cast<uint64_t>(at) + removed, newEditEnd = static_cast<uint64_t>(at) + inserted;
  std::vector<OGLTTextRow> breaks;
  for (size_t batch = 16;; batch *= 2) {
    breaks.resize(batch);
    int count = OGLF2DTextBreaksWithWidth(ctx, from, breaks.data(), static_cast<int>(batch), width);
    // The first new row after the change that starts where an old row after the change starts
    // (moved by the change): from there on the rows are the old ones.
    size_t meetNew = static_cast<size_t>(count), meetOld = old.size();
    bool met = static_cast<size_t>(count) < batch;  // the new rows reach the end of the text
    size_t k = begin;
    for (size_t j = 0; j < static_cast<size_t>(count); ++j) {
      uint64_t start = static_cast<uint64_t>(breaks[j].start - text);
      if (start < newEditEnd) continue;
      while (k < old.size() &&
             (old[k].start < oldEditEnd || static_cast<int64_t>(old[k].start) + delta < static_cast<int64_t>(start)))
        ++k;
      if (k < old.size() && static_cast<int64_t>(old[k].start) + delta == static_cast<int64_t>(start)) {
        meetNew = j, meetOld = k, met = true;
        break;
      }
    }
    if (!met) continue;
    std::vector<QELTTextboxRow> made;
    makeRows(ctx, text, breaks.data(), meetNew, made);
    try {
      for (size_t i = meetOld; i < old.size(); ++i) {
        old[i].start = static_cast<uint32_t>(old[i].start + delta);
        old[i].end = static_cast<uint32_t>(old[i].end + delta);
      }
      old.erase(old.begin() + static_cast<std::ptrdiff_t>(begin), old.begin() + static_cast<std::ptrdiff_t>(meetOld));
      old.insert(old.begin() + static_cast<std::ptrdiff_t>(begin), std::make_move_iterator(made.begin()),
                 std::make_move_iterator(made.end()));
    } catch (const std::bad_alloc&) {
      // The rows are half moved: they are made again from the text, and left empty (made again
      // on the next change) when even that cannot be done.
      QELFTextboxLayoutClear(layout);
      return QELFTextboxLayoutSetup(layout, ctx, text, width, lineHeightFactor);
    }
    layout->rowHeight = rowHeightOf(ctx, lineHeightFactor);
    return true;
  }
}

QELTTextboxPosition QELFTextboxLayoutFindGlyph(const QELTTextboxLayout* layout, OGLTPoint point) {
  if (!layout || layout->rows.empty()) return {};
  int32_t last = static_cast<int32_t>(layout->rows.size()) - 1;
  float at = layout->rowHeight > 0 ? std::floor(point.y / layout->rowHeight) : 0;
  int32_t row = std::isfinite(at) ? static_cast<int32_t>(std::clamp(at, 0.0f, static_cast<float>(last))) : 0;
  const std::vector<QELTTextboxGlyph>& glyphs = layout->rows[static_cast<size_t>(row)].glyphs;
  if (glyphs.empty()) return {row, -1};
  // The glyph whose left edge is nearest (the first on a tie); before it when the point is
  // nearer to that edge than to its right edge.
  size_t nearest = 0;
  for (size_t g = 1; g < glyphs.size(); ++g)
    if (std::fabs(point.x - glyphs[g].minx) < std::fabs(point.x - glyphs[nearest].minx)) nearest = g;
  const QELTTextboxGlyph& glyph = glyphs[nearest];
  bool before = std::fabs(point.x - glyph.minx) < std::fabs(point.x - glyph.maxx);
  return {row, static_cast<int32_t>(nearest) - (before ? 1 : 0)};
}

bool QELFTextboxLayoutFindOffset(const QELTTextboxLayout* layout, QELTTextboxPosition position, uint32_t* offset) {
  if (!layout || position.row < 0 || static_cast<size_t>(position.row) >= layout->rows.size()) return false;
  const QELTTextboxRow& row = layout->rows[static_cast<size_t>(position.row)];
  uint32_t result = row.start;
  if (position.glyph >= 0) {
    size_t next = static_cast<size_t>(position.glyph) + 1;
    result = next < row.glyphs.size() ? row.start + row.glyphs[next].offset : row.end;
  }
  if (offset) *offset = result;
  return true;
}

QELTTextboxPosition QELFTextboxLayoutFindGlyphForOffset(const QELTTextboxLayout* layout, uint32_t offset) {
  if (!layout || layout->rows.empty()) return {};
  size_t r = rowHolding(layout->rows, offset);
  const QELTTextboxRow& row = layout->rows[r];
  if (offset <= row.start || row.glyphs.empty()) return {static_cast<int32_t>(r), -1};
  // The characters that start before the offset; the caret stands after the last of them.
  uint32_t inRow = offset - row.start;
  auto after = std::lower_bound(row.glyphs.begin(), row.glyphs.end(), inRow,
                                [](const QELTTextboxGlyph& g, uint32_t o) { return g.offset < o; });
  return {static_cast<int32_t>(r), static_cast<int32_t>(after - row.glyphs.begin()) - 1};
}

bool QELFTextboxLayoutRectForGlyph(const QELTTextboxLayout* layout, QELTTextboxPosition position, OGLTRect* rect) {
  if (!layout || position.row < 0 || static_cast<size_t>(position.row) >= layout->rows.size()) return false;
  const QELTTextboxRow& row = layout->rows[static_cast<size_t>(position.row)];
  float top = static_cast<float>(position.row) * layout->rowHeight;
  float left = 0, right = 0;
  if (position.glyph >= 0 && !row.glyphs.empty()) {
    const QELTTextboxGlyph& g = row.glyphs[std::min(static_cast<size_t>(position.glyph), row.glyphs.size() - 1)];
    left = g.minx, right = g.maxx;
  }
  if (rect) *rect = {left, top, right, top + layout->rowHeight};
  return true;
}

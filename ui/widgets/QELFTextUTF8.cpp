#include "ui/widgets/QELFTextUTF8.h"

#include "ui/gl/OGLF.h"
#include "ui/gl/OGLTextIterator.h"

namespace {

bool continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

}  // namespace

size_t QELFUTF8Next(std::string_view text, size_t offset) {
  if (offset >= text.size()) return text.size();
  ++offset;
  while (offset < text.size() && continuation(text[offset])) ++offset;
  return offset;
}

size_t QELFUTF8Previous(std::string_view text, size_t offset) {
  offset = QELFUTF8Floor(text, offset);
  if (offset == 0) return 0;
  --offset;
  while (offset > 0 && continuation(text[offset])) --offset;
  return offset;
}

size_t QELFUTF8Floor(std::string_view text, size_t offset) {
  if (offset >= text.size()) return text.size();
  while (offset > 0 && continuation(text[offset])) --offset;
  return offset;
}

std::string QELFUTF8Sanitized(std::string_view text, size_t capacity) {
  std::string out;
  out.reserve(text.size() < capacity ? text.size() : capacity);
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* start = p;
    uint32_t codePoint = OGLFDecodeUTF8(p, end);
    if (codePoint == 0) continue;
    // A sequence decoded whole is kept as it stands; a malformed one consumed a single byte.
    std::string_view piece(start, static_cast<size_t>(p - start));
    char encoded[7];
    if (codePoint == 0xFFFD && piece.size() == 1) piece = OGLFCodePointToUTF8(0xFFFD, encoded);
    if (out.size() + piece.size() > capacity) break;
    out.append(piece);
  }
  return out;
}

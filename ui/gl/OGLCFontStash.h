#pragma once
// Faces and glyphs of one 2D context, on FreeType.
//
// Size is the face's ascender-to-descender height in pixels, kept to a tenth of a pixel; glyph
// boxes are whole pixels with a one-pixel margin (more with blur); advances, kerning and
// letter spacing are rounded to whole pixels, so a glyph bitmap is made once per face, size and
// blur and placed without resampling.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

struct OGLTGlyph {
  uint32_t index = 0;         // glyph index in the face (0: the missing glyph)
  int advance10 = 0;          // advance in tenths of a pixel, truncated
  int left = 0, top = 0;      // quad's offset from the pen, y down
  int width = 0, height = 0;  // quad size
  // Coverage of the quad, one byte per pixel, rows of `stride` bytes; made on first draw.
  std::unique_ptr<uint8_t[]> coverage;
  int stride = 0;
  bool rendered = false;
};

struct OGLTVerticalMetrics {
  float ascender = 0;    // above the baseline, as a fraction of the size
  float descender = 0;   // negative
  float lineHeight = 0;  // ascender - descender + line gap, as a fraction of the size
};

class OGLCFontStash {
public:
  OGLCFontStash();
  ~OGLCFontStash();
  OGLCFontStash(const OGLCFontStash&) = delete;
  OGLCFontStash& operator=(const OGLCFontStash&) = delete;

  // The new face's id, or -1. With owned, the stash frees the bytes with free() when it goes.
  int addFace(const char* name, const unsigned char* bytes, size_t size, bool owned);
  int addFaceFromFile(const char* name, const char* path);
  int findFace(const char* name) const;
  bool validFace(int face) const { return face >= 0 && face < static_cast<int>(faces_.size()); }

  const OGLTVerticalMetrics& metrics(int face) const;
  // The glyph of the code point at the size (tenths of a pixel, at least 2) and blur (0 to 20);
  // with bitmap, its coverage is rendered too. Null for an invalid face or size. The glyph is
  // valid until the next call.
  const OGLTGlyph* glyph(int face, uint32_t codePoint, int size10, int blur, bool bitmap);
  // Kerning between two glyph indices, in pixels (unrounded).
  float kerning(int face, uint32_t left, uint32_t right, int size10);

private:
  struct Face;
  void renderCoverage(Face& face, OGLTGlyph& glyph, int size10, int blur);

  FT_LibraryRec_* library_ = nullptr;
  std::vector<std::unique_ptr<Face>> faces_;
};

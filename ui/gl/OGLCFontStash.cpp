#include "ui/gl/OGLCFontStash.h"

#include "framework/core/LLKFFiles.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// What a glyph is in font units, whatever the size.
struct Outline {
  uint32_t index = 0;
  long xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  long advance = 0;
};

// Glyphs kept per face before the cache starts again (sizes that keep changing, as in an
// animation, would otherwise grow it without end).
constexpr size_t kMaxGlyphsPerFace = 8192;

// Only a broken face (metrics that blow a glyph up far beyond its size) asks for a glyph box
// beyond these; it gets an empty box instead of a bitmap that could not be had, or that would
// take seconds to draw and blur. Swashes and icons stay well within eight times the size.
constexpr double kMaxGlyphSizes = 8;
constexpr double kMaxGlyphSide = 16384;
constexpr double kMaxGlyphPixels = 1 << 25;
constexpr double kMaxGlyphOffset = 1e8;
// Advances kept far enough inside int for a pen to add many of them.
constexpr float kMaxAdvance10 = 1e8f;

uint64_t glyphKey(uint32_t codePoint, int size10, int blur) {
  return (static_cast<uint64_t>(codePoint) << 32) | (static_cast<uint64_t>(size10) << 8) | static_cast<uint64_t>(blur);
}

// Exponential blur, one pass along rows then columns, twice: close to a gaussian of radius
// `blur`, with zero borders kept so the quad's edges stay clear.
constexpr int kAlphaShift = 16;
constexpr int kValueShift = 7;

void blurLine(uint8_t* pixels, int count, int step, int alpha) {
  int z = 0;
  for (int i = 1; i < count; ++i) {
    z += (alpha * ((static_cast<int>(pixels[i * step]) << kValueShift) - z)) >> kAlphaShift;
    pixels[i * step] = static_cast<uint8_t>(z >> kValueShift);
  }
  pixels[(count - 1) * step] = 0;
  z = 0;
  for (int i = count - 2; i >= 0; --i) {
    z += (alpha * ((static_cast<int>(pixels[i * step]) << kValueShift) - z)) >> kAlphaShift;
    pixels[i * step] = static_cast<uint8_t>(z >> kValueShift);
  }
  pixels[0] = 0;
}

void blurBitmap(uint8_t* pixels, int width, int height, int blur) {
  if (blur < 1 || width < 2 || height < 2) return;
  float sigma = static_cast<float>(blur) * 0.57735f;
  int alpha = static_cast<int>((1 << kAlphaShift) * (1.0f - std::exp(-2.3f / (sigma + 1.0f))));
  for (int pass = 0; pass < 2; ++pass) {
    for (int y = 0; y < height; ++y) blurLine(pixels + y * width, width, 1, alpha);
    for (int x = 0; x < width; ++x) blurLine(pixels + x, height, width, alpha);
  }
}

}  // namespace

struct OGLCFontStash::Face {
  std::string name;
  FT_Face face = nullptr;
  const unsigned char* bytes = nullptr;
  bool owned = false;
  std::vector<unsigned char> fileBytes;
  OGLTVerticalMetrics metrics;
  float unitsPerHeight = 1;  // ascender - descender, font units
  std::unordered_map<uint32_t, Outline> outlines;
  std::unordered_map<uint64_t, OGLTGlyph> glyphs;

  ~Face() {
    if (face) FT_Done_Face(face);
    if (owned) std::free(const_cast<unsigned char*>(bytes));
  }

  const Outline& outline(uint32_t codePoint) {
    auto found = outlines.find(codePoint);
    if (found != outlines.end()) return found->second;
    Outline info;
    info.index = FT_Get_Char_Index(face, codePoint);
    if (FT_Load_Glyph(face, info.index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) {
      FT_GlyphSlot slot = face->glyph;
      info.advance = slot->advance.x;
      if (slot->format == FT_GLYPH_FORMAT_OUTLINE && slot->outline.n_points > 0) {
        FT_BBox box;
        FT_Outline_Get_CBox(&slot->outline, &box);
        info = {info.index, box.xMin, box.yMin, box.xMax, box.yMax, info.advance};
      }
    }
    return outlines.emplace(codePoint, info).first->second;
  }

  float scale(int size10) const { return (static_cast<float>(size10) / 10.0f) / unitsPerHeight; }
};

OGLCFontStash::OGLCFontStash() {
  if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
}

OGLCFontStash::~OGLCFontStash() {
  faces_.clear();
  if (library_) FT_Done_FreeType(library_);
}

int OGLCFontStash::addFace(const char* name, const unsigned char* bytes, size_t size, bool owned) {
  if (!name || !bytes || size == 0 || !library_) {
    if (owned) std::free(const_cast<unsigned char*>(bytes));
    return -1;
  }
  auto face = std::make_unique<Face>();
  face->name = name;
  face->bytes = bytes;
  face->owned = owned;
  if (FT_New_Memory_Face(library_, bytes, static_cast<FT_Long>(size), 0, &face->face) != 0) {
    face->face = nullptr;
    return -1;
  }
  FT_Face ft = face->face;
  float ascender = ft->ascender, descender = ft->descender;
  float height = ascender - descender;
  if (!FT_IS_SCALABLE(ft) || height <= 0) return -1;
  face->unitsPerHeight = height;
  float gap = static_cast<float>(ft->height) - height;
  face->metrics = {ascender / height, descender / height, (height + std::max(gap, 0.0f)) / height};
  faces_.push_back(std::move(face));
  return static_cast<int>(faces_.size()) - 1;
}

int OGLCFontStash::addFaceFromFile(const char* name, const char* path) {
  if (!name || !path) return -1;
  // A regular file no larger than the read limit: its size is known before anything is allocated.
  std::string bytes;
  if (!LLKFReadFile(path, bytes) || bytes.empty()) return -1;
  // The face reads the bytes for as long as it lives: keep them in a block the face owns.
  auto* copy = static_cast<unsigned char*>(std::malloc(bytes.size()));
  if (!copy) return -1;
  std::memcpy(copy, bytes.data(), bytes.size());
  return addFace(name, copy, bytes.size(), true);
}

int OGLCFontStash::findFace(const char* name) const {
  if (!name) return -1;
  for (size_t i = 0; i < faces_.size(); ++i)
    if (faces_[i]->name == name) return static_cast<int>(i);
  return -1;
}

const OGLTVerticalMetrics& OGLCFontStash::metrics(int face) const {
  static const OGLTVerticalMetrics none;
  return validFace(face) ? faces_[static_cast<size_t>(face)]->metrics : none;
}

const OGLTGlyph* OGLCFontStash::glyph(int faceId, uint32_t codePoint, int size10, int blur, bool bitmap) {
  if (!validFace(faceId) || size10 < 2) return nullptr;
  blur = std::clamp(blur, 0, 20);
  Face& face = *faces_[static_cast<size_t>(faceId)];
  uint64_t key = glyphKey(codePoint, size10, blur);
  auto found = face.glyphs.find(key);
  if (found == face.glyphs.end()) {
    const Outline& info = face.outline(codePoint);
    float scale = face.scale(size10);
    double x0 = std::floor(static_cast<float>(info.xMin) * scale);
    double y0 = std::floor(static_cast<float>(-info.yMax) * scale);
    double x1 = std::ceil(static_cast<float>(info.xMax) * scale);
    double y1 = std::ceil(static_cast<float>(-info.yMin) * scale);
    double width = (x1 - x0) + 2 * blur + 2, height = (y1 - y0) + 2 * blur + 2;
    if (face.glyphs.size() >= kMaxGlyphsPerFace) face.glyphs.clear();
    OGLTGlyph glyph;
    glyph.index = info.index;
    glyph.advance10 =
        static_cast<int>(std::clamp(scale * static_cast<float>(info.advance) * 10.0f, -kMaxAdvance10, kMaxAdvance10));
    double side = std::min(kMaxGlyphSide, kMaxGlyphSizes * size10 / 10.0 + 2 * blur + 2);
    if (width <= side && height <= side && width * height <= kMaxGlyphPixels && std::fabs(x0) <= kMaxGlyphOffset &&
        std::fabs(y0) <= kMaxGlyphOffset) {
      glyph.left = static_cast<int>(x0) - blur - 1;
      glyph.top = static_cast<int>(y0) - blur - 1;
      glyph.width = static_cast<int>(width);
      glyph.height = static_cast<int>(height);
    } else {
      glyph.rendered = true;  // an empty box with no ink
    }
    found = face.glyphs.emplace(key, std::move(glyph)).first;
  }
  OGLTGlyph& glyph = found->second;
  if (bitmap && !glyph.rendered) renderCoverage(face, glyph, size10, blur);
  return &glyph;
}

void OGLCFontStash::renderCoverage(Face& face, OGLTGlyph& glyph, int size10, int blur) {
  // The outline is drawn into a block one pixel larger on every side than the quad, so the
  // blur has room and the quad keeps a clear border.
  int pad = blur + 2;
  int fullWidth = glyph.width + 2, fullHeight = glyph.height + 2;
  std::vector<uint8_t> full(static_cast<size_t>(fullWidth) * static_cast<size_t>(fullHeight), 0);
  if (FT_Load_Glyph(face.face, glyph.index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0 &&
      face.face->glyph->format == FT_GLYPH_FORMAT_OUTLINE && face.face->glyph->outline.n_points > 0) {
    FT_Outline* outline = &face.face->glyph->outline;
    auto fixed = static_cast<FT_Fixed>(std::lround(face.scale(size10) * 64.0 * 65536.0));
    FT_Matrix matrix{fixed, 0, 0, fixed};
    FT_Outline_Transform(outline, &matrix);
    int x0 = glyph.left + blur + 1, y1 = glyph.top + glyph.height - blur - 1;
    FT_Outline_Translate(outline, static_cast<FT_Pos>(pad - x0) * 64, static_cast<FT_Pos>(y1 + pad) * 64);
    FT_Bitmap target{};
    target.rows = static_cast<unsigned>(fullHeight);
    target.width = static_cast<unsigned>(fullWidth);
    target.pitch = fullWidth;
    target.buffer = full.data();
    target.num_grays = 256;
    target.pixel_mode = FT_PIXEL_MODE_GRAY;
    FT_Outline_Get_Bitmap(library_, outline, &target);
  }
  blurBitmap(full.data(), fullWidth, fullHeight, blur);
  glyph.stride = (glyph.width + 3) & ~3;
  glyph.coverage = std::make_unique<uint8_t[]>(static_cast<size_t>(glyph.stride) * static_cast<size_t>(glyph.height));
  std::memset(glyph.coverage.get(), 0, static_cast<size_t>(glyph.stride) * static_cast<size_t>(glyph.height));
  for (int y = 0; y < glyph.height; ++y)
    std::memcpy(glyph.coverage.get() + y * glyph.stride, full.data() + (y + 1) * fullWidth + 1,
                static_cast<size_t>(glyph.width));
  glyph.rendered = true;
}

float OGLCFontStash::kerning(int faceId, uint32_t left, uint32_t right, int size10) {
  if (!validFace(faceId)) return 0;
  Face& face = *faces_[static_cast<size_t>(faceId)];
  if (!FT_HAS_KERNING(face.face)) return 0;
  FT_Vector delta{};
  if (FT_Get_Kerning(face.face, left, right, FT_KERNING_UNSCALED, &delta) != 0) return 0;
  return static_cast<float>(delta.x) * face.scale(size10);
}

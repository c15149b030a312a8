// Faces from outside (font files): only regular files are read, and faces whose metrics make
// glyphs absurdly large still draw, measure and wrap, without giant glyph bitmaps or an
// exception out of the C interface.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/gl/OGLTestCanvas.h"
#include "ui/gl/OGLF.h"

namespace {

uint16_t readU16(const std::vector<unsigned char>& font, size_t at) {
  return static_cast<uint16_t>(font[at] << 8 | font[at + 1]);
}

void writeI16(std::vector<unsigned char>& font, size_t at, int value) {
  font[at] = static_cast<unsigned char>((value >> 8) & 0xFF);
  font[at + 1] = static_cast<unsigned char>(value & 0xFF);
}

// Offset of the sfnt table with that tag; 0 when there is none.
size_t tableOffset(const std::vector<unsigned char>& font, const char tag[4]) {
  for (size_t i = 0, count = readU16(font, 4); i < count; ++i) {
    size_t record = 12 + 16 * i;
    if (std::memcmp(&font[record], tag, 4) == 0)
      return static_cast<size_t>(font[record + 8]) << 24 | font[record + 9] << 16 | font[record + 10] << 8 |
             font[record + 11];
  }
  return 0;
}

// The "mono" face with an ascender of one font unit and no descender: its size maps one font
// unit onto the whole size, so an ordinary glyph covers millions of pixels each way.
std::vector<unsigned char> faceWithTinyHeight() {
  size_t count = 0;
  const OGLTBuiltinFont* fonts = OGLFBuiltinFonts(&count);
  for (size_t i = 0; i < count; ++i) {
    if (std::strcmp(fonts[i].name, "mono") != 0) continue;
    std::vector<unsigned char> font(fonts[i].bytes, fonts[i].bytes + fonts[i].size);
    size_t hhea = tableOffset(font, "hhea"), os2 = tableOffset(font, "OS/2");
    if (!hhea || !os2) return {};
    for (size_t at : {hhea + 4, os2 + 68, os2 + 74}) writeI16(font, at, 1);  // ascenders
    for (size_t at : {hhea + 6, hhea + 8, os2 + 70, os2 + 72, os2 + 76}) writeI16(font, at, 0);
    return font;
  }
  return {};
}

class FontFace : public OGLTestCanvas {};

TEST_F(FontFace, AbsurdMetricsDrawNothingHugeAndThrowNothing) {
  std::vector<unsigned char> font = faceWithTinyHeight();
  ASSERT_FALSE(font.empty());
  auto* bytes = static_cast<unsigned char*>(std::malloc(font.size()));
  ASSERT_TRUE(bytes);
  std::memcpy(bytes, font.data(), font.size());
  ASSERT_GE(OGLF2DFontMake(ctx(), "tiny", bytes, static_cast<int>(font.size()), 1), 0);

  OGLTColor white{1, 1, 1, 1};
  for (float size : {3000.0f, 200.0f, 12.0f}) {
    begin(64, 64);
    OGLF2DTextFontFace(ctx(), "tiny");
    OGLF2DTextFontSize(ctx(), size);
    OGLF2DPathFillColor(ctx(), &white);
    float end = OGLF2DTextDraw(ctx(), "AW", 0, 32);
    EXPECT_GT(end, 0) << size;
    float bounds[4];
    EXPECT_GT(OGLF2DTextBounds(ctx(), "AW", bounds, 0, 0), 0) << size;
    OGLTTextRow rows[4];
    EXPECT_GE(OGLF2DTextBreaksWithWidth(ctx(), "AW AW", rows, 4, 50), 1) << size;
    context->endFrame();
  }

  // The ordinary faces of the same context still draw.
  begin(64, 64);
  OGLF2DTextFontFace(ctx(), "mono");
  OGLF2DTextFontSize(ctx(), 30);
  OGLF2DPathFillColor(ctx(), &white);
  OGLF2DTextAlignment(ctx(), kOGLAlignLeft | kOGLAlignTop);
  OGLF2DTextDraw(ctx(), "A", 10, 10);
  context->endFrame();
  int inked = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) inked += context->readPixel(x, y)[3] > 0;
  EXPECT_GT(inked, 20);
}

TEST_F(FontFace, OnlyRegularFilesAreReadAsFaces) {
  // A named pipe with no writer would be waited on for ever; a folder or a device is no face.
  std::string pipe = ::testing::TempDir() + "ogl-face-" + std::to_string(getpid()) + ".pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const char* path : {pipe.c_str(), "/tmp", "/dev/null", "/dev/zero"}) {
    EXPECT_EQ(OGLF2DFontLoad(ctx(), "outside", path), -1) << path;
    EXPECT_EQ(OGLFLoadFontFromFile(ctx(), "outside", path), -1) << path;
  }
  std::remove(pipe.c_str());
}

}  // namespace

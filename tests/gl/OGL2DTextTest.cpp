// Invariants of the text engine: size, whole-pixel advances, spacing, alignment, bounds, rows
// and glyph positions.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/gl/OGLTestCanvas.h"
#include "ui/gl/OGLF.h"

namespace {

class Text : public OGLTestCanvas {
protected:
  void SetUp() override {
    OGLTestCanvas::SetUp();
    begin(400, 200);
    OGLF2DTextFontFace(ctx(), "mono");
    OGLF2DTextFontSize(ctx(), 20);
  }
  float advance(const char* text) {
    float bounds[4];
    return OGLF2DTextBounds(ctx(), text, bounds, 0, 0);
  }
  std::vector<OGLTTextRow> rows(const char* text, float width) {
    std::vector<OGLTTextRow> result(64);
    result.resize(static_cast<size_t>(OGLF2DTextBreaksWithWidth(ctx(), text, result.data(), 64, width)));
    return result;
  }
  // Ink in the rows [top, bottom) of the surface: the leftmost and rightmost inked columns.
  std::pair<int, int> inkColumns(int top, int bottom) {
    context->endFrame();
    int left = INT32_MAX, right = -1;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < context->pixelWidth(); ++x)
        if (context->readPixel(x, y)[3] > 0) {
          left = std::min(left, x);
          right = std::max(right, x);
        }
    return {left, right};
  }
};

TEST_F(Text, SizeIsTheAscenderToDescenderHeight) {
  float ascender, descender, lineHeight;
  ASSERT_TRUE(context->textMetrics(&ascender, &descender, &lineHeight));
  EXPECT_NEAR(ascender - descender, 20, 0.01);
  EXPECT_GE(lineHeight, ascender - descender);

  // The bounds' height is the line's; top alignment puts the line's top at y.
  OGLF2DTextAlignment(ctx(), kOGLAlignLeft | kOGLAlignTop);
  float bounds[4];
  OGLF2DTextBounds(ctx(), "Hg", bounds, 10, 30);
  EXPECT_FLOAT_EQ(bounds[1], 30);
  EXPECT_NEAR(bounds[3] - bounds[1], lineHeight, 0.01);
}

TEST_F(Text, AdvancesAreWholePixelsAndSpacingIsAddedBetweenGlyphs) {
  const char* samples[] = {"i", "W", "Hello, world", "vesko 1.0"};
  for (const char* sample : samples) {
    float plain = advance(sample);
    EXPECT_EQ(plain, std::floor(plain)) << sample;
    OGLF2DTextFontSpacing(ctx(), 3);
    float spaced = advance(sample);
    OGLF2DTextFontSpacing(ctx(), 0);
    EXPECT_EQ(spaced - plain, 3.0f * static_cast<float>(std::strlen(sample) - 1)) << sample;
  }
  // A monospaced face: the run's advance is the glyph count times one advance.
  EXPECT_EQ(advance("abcdefghij"), 10 * advance("m"));
  // Spacing far beyond any surface still moves the pen the way it points.
  OGLF2DTextFontSpacing(ctx(), 1e12f);
  EXPECT_GT(advance("ab"), advance("a"));
  OGLF2DTextFontSpacing(ctx(), -1e12f);
  EXPECT_LT(advance("ab"), 0);
}

TEST_F(Text, DrawReturnsWhereTheTextEnds) {
  float end = OGLF2DTextDraw(ctx(), "Hello", 12, 40);
  EXPECT_EQ(end, 12 + advance("Hello"));
  OGLF2DTextFontFace(ctx(), "no such face");
  EXPECT_EQ(OGLF2DTextDraw(ctx(), "Hello", 12, 80), 12);
}

TEST_F(Text, HorizontalAlignmentMovesTheRunAroundX) {
  float width = advance("centre");
  float left[4], centre[4], right[4];
  OGLF2DTextAlignment(ctx(), kOGLAlignLeft | kOGLAlignBaseline);
  OGLF2DTextBounds(ctx(), "centre", left, 200, 50);
  OGLF2DTextAlignment(ctx(), kOGLAlignCenter | kOGLAlignBaseline);
  OGLF2DTextBounds(ctx(), "centre", centre, 200, 50);
  OGLF2DTextAlignment(ctx(), kOGLAlignRight | kOGLAlignBaseline);
  OGLF2DTextBounds(ctx(), "centre", right, 200, 50);
  EXPECT_FLOAT_EQ(centre[0], left[0] - width / 2);
  EXPECT_FLOAT_EQ(right[0], left[0] - width);
  EXPECT_FLOAT_EQ(right[2], left[2] - width);

  // What is drawn lies within the bounds.
  OGLTColor white{1, 1, 1, 1};
  OGLF2DPathFillColor(ctx(), &white);
  OGLF2DTextDraw(ctx(), "centre", 200, 50);
  auto [inkLeft, inkRight] = inkColumns(0, 200);
  EXPECT_GE(inkLeft, right[0]);
  EXPECT_LE(inkRight + 1, right[2]);
  EXPECT_GT(inkRight, inkLeft);
}

TEST_F(Text, VerticalAlignmentPlacesTheBaseline) {
  float ascender, descender, lineHeight;
  context->textMetrics(&ascender, &descender, &lineHeight);
  struct Case {
    int align;
    float top;  // of the line box, for y = 100
  } cases[] = {{kOGLAlignTop, 100},
               {kOGLAlignBaseline, 100 - ascender},
               {kOGLAlignBottom, 100 - ascender + descender},
               {kOGLAlignMiddle, 100 - ascender + (ascender + descender) / 2}};
  for (const Case& c : cases) {
    OGLF2DTextAlignment(ctx(), kOGLAlignLeft | c.align);
    float bounds[4];
    OGLF2DTextBounds(ctx(), "x", bounds, 0, 100);
    EXPECT_NEAR(bounds[1], c.top, 0.01) << c.align;
  }
}

TEST_F(Text, BoundsWithLengthMeasureThePrefixAndStopAtTheEnd) {
  float bounds[4];
  EXPECT_EQ(OGLF2DTextBoundsWithLength(ctx(), "Hello, world", 5, bounds, 0, 0), advance("Hello"));
  // A length beyond the text stops at its terminating zero.
  EXPECT_EQ(OGLF2DTextBoundsWithLength(ctx(), "Hi", 3, bounds, 0, 0), advance("Hi"));
}

TEST_F(Text, RowsBreakAfterWordsThatFitAndAtNewLines) {
  float m = advance("m");
  const char* text = "alpha beta gamma\ndelta";
  auto found = rows(text, 11 * m);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(std::string(found[0].start, found[0].end), "alpha beta");
  EXPECT_EQ(std::string(found[1].start, found[1].end), "gamma");
  EXPECT_EQ(std::string(found[2].start, found[2].end), "delta");
  EXPECT_EQ(found[0].width, 10 * m);
  EXPECT_EQ(found[2].next, text + std::strlen(text));
  for (const auto& row : found) EXPECT_LE(row.width, 11 * m);

  // A word longer than the row breaks where it overflows.
  auto split = rows("abcdefghij", 4 * m);
  ASSERT_EQ(split.size(), 3u);
  EXPECT_EQ(std::string(split[1].start, split[1].end), "efgh");
  // Empty lines are rows too; leading white space is skipped.
  auto blank = rows("a\n\n  b", 100 * m);
  ASSERT_EQ(blank.size(), 3u);
  EXPECT_EQ(blank[1].start, blank[1].end);
  EXPECT_EQ(std::string(blank[2].start, blank[2].end), "b");
}

TEST_F(Text, RowsCanBeCountedWithoutABuffer) {
  const char* texts[] = {"", "one", "a b c d e f g h i j k l m n o p", "line\nline\nline", "averyveryverylongword"};
  float m = advance("m");
  for (const char* text : texts) {
    for (float width : {3 * m, 8 * m, 100 * m}) {
      std::vector<OGLTTextRow> all(256);
      int stored = OGLF2DTextBreaksWithWidth(ctx(), text, all.data(), 256, width);
      EXPECT_EQ(OGLF2DTextBreaksWithWidth(ctx(), text, nullptr, 0, width), stored) << text << " " << width;
    }
  }
  OGLTTextRow two[2];
  EXPECT_EQ(OGLF2DTextBreaksWithWidth(ctx(), "a\nb\nc\nd", two, 2, 100), 2);
  EXPECT_EQ(OGLF2DTextBreaksWithWidth(ctx(), "a\nb", two, 0, 100), 0);
}

TEST_F(Text, WrappedBoundsStackTheRows) {
  float m = advance("m");
  float ascender, descender, lineHeight;
  context->textMetrics(&ascender, &descender, &lineHeight);
  OGLF2DTextLineHeight(ctx(), 1.5f);
  OGLF2DTextAlignment(ctx(), kOGLAlignLeft | kOGLAlignTop);
  float bounds[4];
  EXPECT_EQ(OGLF2DTextBoundsWithWidth(ctx(), "alpha beta gamma", bounds, 10, 20, 11 * m), 11 * m);
  EXPECT_FLOAT_EQ(bounds[1], 20);
  EXPECT_NEAR(bounds[3], 20 + lineHeight * 1.5f + lineHeight, 0.01);
  EXPECT_LE(bounds[2], 10 + 11 * m + 2);
}

TEST_F(Text, WrappedTextDrawsEachRowOnItsLine) {
  float m = advance("m");
  OGLTColor white{1, 1, 1, 1};
  OGLF2DPathFillColor(ctx(), &white);
  OGLF2DTextAlignment(ctx(), kOGLAlignLeft | kOGLAlignTop);
  OGLF2DTextDrawWithWidth(ctx(), "mmm mmm", 0, 0, 4 * m);
  float ascender, descender, lineHeight;
  context->textMetrics(&ascender, &descender, &lineHeight);
  auto first = inkColumns(0, static_cast<int>(lineHeight));
  auto second = inkColumns(static_cast<int>(lineHeight), static_cast<int>(2 * lineHeight));
  EXPECT_GE(first.second, 0);
  EXPECT_GE(second.second, 0);
  EXPECT_LT(first.second, 3 * m + 2);
}

TEST_F(Text, GlyphPositionsFollowThePen) {
  const char* text = "a\xC3\xA9z";  // a, e acute (two bytes), z
  OGLTGlyphPosition positions[8];
  int count = OGLF2DTextGlyphPositions(ctx(), text, positions, 8, 5, 0);
  ASSERT_EQ(count, 3);
  float m = advance("m");
  EXPECT_EQ(positions[0].x, 5);
  EXPECT_EQ(positions[1].x, 5 + m);
  EXPECT_EQ(positions[2].str, text + 3);
  for (int i = 0; i < count; ++i) {
    EXPECT_LE(positions[i].minx, positions[i].x);
    EXPECT_GE(positions[i].maxx, positions[i].x + m);
  }
  EXPECT_EQ(OGLF2DTextGlyphPositions(ctx(), text, positions, 2, 0, 0), 2);
  EXPECT_EQ(OGLF2DTextGlyphPositionsWithLength(ctx(), text, 1, positions, 8, 0, 0), 1);
}

TEST_F(Text, MalformedUTF8ShowsReplacementsAndKeepsTheRest) {
  const char* broken = "a\xFF\xC3z";  // a stray byte, a cut sequence, then z
  OGLTGlyphPosition positions[8];
  int count = OGLF2DTextGlyphPositions(ctx(), broken, positions, 8, 0, 0);
  ASSERT_EQ(count, 4);
  EXPECT_EQ(positions[3].str, broken + 3);
}

TEST_F(Text, BlurSpreadsTheInk) {
  OGLTColor white{1, 1, 1, 1};
  OGLF2DPathFillColor(ctx(), &white);
  OGLF2DTextAlignment(ctx(), kOGLAlignLeft | kOGLAlignTop);
  OGLF2DTextDraw(ctx(), "l", 100, 20);
  auto sharp = inkColumns(0, 200);
  begin(400, 200);
  OGLF2DTextFontFace(ctx(), "mono");
  OGLF2DTextFontSize(ctx(), 20);
  OGLF2DPathFillColor(ctx(), &white);
  OGLF2DTextAlignment(ctx(), kOGLAlignLeft | kOGLAlignTop);
  OGLF2DTextFontBlur(ctx(), 4);
  OGLF2DTextDraw(ctx(), "l", 100, 20);
  auto blurred = inkColumns(0, 200);
  EXPECT_LT(blurred.first, sharp.first);
  EXPECT_GT(blurred.second, sharp.second);
}

TEST_F(Text, TextTakesTheFillColourAndTheScissor) {
  OGLTColor green{0, 1, 0, 1};
  OGLF2DPathFillColor(ctx(), &green);
  OGLF2DTextAlignment(ctx(), kOGLAlignLeft | kOGLAlignTop);
  OGLTRect clip{0, 0, 400, 10};
  OGLF2DClipEnter(ctx(), &clip, true);
  OGLF2DTextDraw(ctx(), "HHHH", 0, 0);
  OGLF2DClipLeave(ctx());
  context->endFrame();
  bool inked = false;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 60; ++x) {
      Pixel p = context->readPixel(x, y);
      if (p[3] == 0) continue;
      inked = true;
      EXPECT_LT(y, 10);
      EXPECT_EQ(p[1], 255);
      EXPECT_EQ(p[0], 0);
    }
  EXPECT_TRUE(inked);
}

TEST_F(Text, TextTakesAGradientPaint) {
  OGLTColor red{1, 0, 0, 1}, blue{0, 0, 1, 1};
  for (bool box : {false, true}) {
    begin(400, 200);
    OGLF2DTextFontFace(ctx(), "mono");
    OGLF2DTextFontSize(ctx(), 20);
    OGLTPaint paint;
    if (box) OGLF2DMakeBoxGradient(ctx(), &paint, &red, &blue, 0, 0, 40, 200, 0, 2);
    else OGLF2DMakeLinearGradient(ctx(), &paint, &red, &blue, 40, 0, 120, 0);
    OGLF2DPathFillPaint(ctx(), &paint);
    OGLF2DTextAlignment(ctx(), kOGLAlignLeft | kOGLAlignTop);
    OGLF2DTextDraw(ctx(), "HHHHHHHHHHHHHHHHHHHH", 10, 10);
    context->endFrame();
    auto ink = [&](int fromX, int toX) {
      Pixel strongest{0, 0, 0, 0};
      for (int y = 0; y < 40; ++y)
        for (int x = fromX; x < toX; ++x)
          if (Pixel p = context->readPixel(x, y); p[3] > strongest[3]) strongest = p;
      return strongest;
    };
    Pixel left = ink(10, 30), right = ink(130, 150);
    EXPECT_GT(left[3], 200) << box;
    EXPECT_GT(right[3], 200) << box;
    EXPECT_GT(left[0], 200) << box;
    EXPECT_GT(right[2], 200) << box;
  }
}

// Every face stored in the library draws, and the symbols face holds every glyph the widgets
// name.
TEST_F(Text, BuiltInFacesHoldTheirGlyphs) {
  struct Case {
    const char* face;
    int codePoint;
  } cases[] = {{"mono", 'A'},     {"mono-italic", 'A'}, {"mono-bold", 'A'}, {"mono-bold-italic", 'A'},
               {"icons", 0xE8DC}, {"icons", 0xE034}};
  std::vector<Case> all(std::begin(cases), std::end(cases));
  for (int symbol : {0xE800, 0xE801, 0xE802, 0xE805, 0xE80F, 0xE810, 0xE813, 0xE816, 0xE818, 0xE819, 0xE81B, 0xE81D})
    all.push_back({"symbols", symbol});
  OGLTColor white{1, 1, 1, 1};
  for (const Case& c : all) {
    begin(64, 64);
    OGLF2DTextFontFace(ctx(), c.face);
    OGLF2DTextFontSize(ctx(), 30);
    OGLF2DPathFillColor(ctx(), &white);
    OGLF2DTextAlignment(ctx(), kOGLAlignLeft | kOGLAlignTop);
    char utf8[7];
    OGLF2DTextDraw(ctx(), OGLFCodePointToUTF8(c.codePoint, utf8), 10, 10);
    auto ink = inkColumns(0, 64);
    EXPECT_GE(ink.second - ink.first, 8) << c.face << " " << std::hex << c.codePoint;
  }
}

TEST_F(Text, FacesAreFoundByNameAndLoadedOnce) {
  EXPECT_EQ(OGLF2DFontFind(ctx(), "mono"), 2);
  EXPECT_EQ(OGLF2DFontFind(ctx(), "none"), -1);
  EXPECT_EQ(OGLFLoadFontFromFile(ctx(), "mono", "/no/such/file"), 2);
  EXPECT_EQ(OGLF2DFontLoad(ctx(), "other", "/no/such/file"), -1);
  EXPECT_EQ(OGLF2DFontMake(ctx(), "junk", reinterpret_cast<unsigned char*>(const_cast<char*>("not a font")), 10, 0),
            -1);
}

}  // namespace

// Gradients cached by their look, and partial frames: the same pixels as drawing everything.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/gl/OGLTestCanvas.h"

namespace {

class Redraw : public OGLTestCanvas {
protected:
  // A shadowed card at (x, y): a box gradient around it, then the card.
  void card(float x, float y, float w, float h) {
    OGLTPaint shadow;
    OGLTColor dark{0, 0, 0, 0.5f}, none{0, 0, 0, 0}, face{0.3f, 0.5f, 0.8f, 0.8f};
    OGLF2DMakeBoxGradient(ctx(), &shadow, &dark, &none, x, y + 2, w, h, 6, 10);
    OGLF2DPathBegin(ctx());
    OGLF2DPathRect(ctx(), x - 10, y - 10, w + 20, h + 30);
    OGLF2DPathFillPaint(ctx(), &shadow);
    OGLF2DPathFill(ctx());
    OGLF2DPathBegin(ctx());
    OGLF2DPathRoundedRect(ctx(), x + 0.5f, y + 0.5f, w - 1, h - 1, 6);
    OGLF2DPathFillColor(ctx(), &face);
    OGLF2DPathFill(ctx());
  }
  std::vector<uint8_t> pixels() {
    context->endFrame();
    size_t bytes = static_cast<size_t>(context->stride()) * static_cast<size_t>(context->pixelHeight());
    return {context->pixels(), context->pixels() + bytes};
  }
};

TEST_F(Redraw, AGradientLooksTheSameWhereverItIsAndHoweverItIsClipped) {
  for (float ratio : {1.0f, 2.0f}) {
    begin(200, 120, ratio);
    card(20, 20, 60, 40);
    std::vector<uint8_t> alone = pixels();
    // The same card elsewhere, clipped by a scissor: the first card's pixels moved, where shown.
    begin(200, 120, ratio);
    context->intersectScissor(100, 50, 100, 70);
    card(110, 60, 60, 40);
    context->endFrame();
    int shift = static_cast<int>(90 * ratio), down = static_cast<int>(40 * ratio);
    int mismatches = 0;
    for (int y = static_cast<int>(50 * ratio); y < static_cast<int>(120 * ratio); ++y)
      for (int x = static_cast<int>(100 * ratio); x < static_cast<int>(200 * ratio); ++x) {
        size_t moved = static_cast<size_t>(y) * static_cast<size_t>(context->stride()) + static_cast<size_t>(x) * 4;
        size_t original =
            static_cast<size_t>(y - down) * static_cast<size_t>(context->stride()) + static_cast<size_t>(x - shift) * 4;
        if (std::memcmp(context->pixels() + moved, alone.data() + original, 4) != 0) ++mismatches;
      }
    EXPECT_EQ(mismatches, 0) << "at ratio " << ratio;
  }
}

TEST_F(Redraw, APartialFrameGivesThePixelsOfAFullOne) {
  struct Case {
    const char* name;
    float ratio;
    OGLTRect area;
  } cases[] = {
      {"a corner of one card", 1, {30, 30, 50, 45}},
      {"across two cards", 1, {60, 20, 130, 70}},
      {"off whole pixels", 2, {60.3f, 20.7f, 129.2f, 70.1f}},
      {"nothing", 1, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    // The last frame had the second card elsewhere; this one moves it.
    begin(200, 120, c.ratio);
    card(20, 20, 60, 40);
    card(90, 60, 60, 40);
    context->endFrame();
    begin(200, 120, c.ratio);
    card(20, 20, 60, 40);
    card(100, 40, 60, 40);
    std::vector<uint8_t> full = pixels();
    begin(200, 120, c.ratio);
    card(20, 20, 60, 40);
    card(90, 60, 60, 40);
    context->endFrame();
    context->takeChangedRows();
    begin(200, 120, c.ratio);
    // What the window does: every card reaching into the area is drawn whole, within reach.
    ASSERT_TRUE(context->redrawOnly(c.area, {0, 0, 200, 120})) << c.name;
    card(20, 20, 60, 40);
    card(100, 40, 60, 40);
    std::vector<uint8_t> partial = pixels();
    // Inside the area the new frame, outside it the last one.
    OGLTRect aligned = context->pixelAligned(c.area);
    int mismatches = 0;
    int stride = context->stride();
    std::vector<uint8_t> last;
    {
      begin(200, 120, c.ratio);
      card(20, 20, 60, 40);
      card(90, 60, 60, 40);
      last = pixels();
    }
    for (int y = 0; y < static_cast<int>(120 * c.ratio); ++y)
      for (int x = 0; x < static_cast<int>(200 * c.ratio); ++x) {
        bool inside = x >= aligned.left * c.ratio && x < aligned.right * c.ratio && y >= aligned.top * c.ratio &&
                      y < aligned.bottom * c.ratio;
        size_t at = static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(x) * 4;
        if (std::memcmp(partial.data() + at, (inside ? full : last).data() + at, 4) != 0) ++mismatches;
      }
    EXPECT_EQ(mismatches, 0) << c.name;
  }
}

TEST_F(Redraw, AnEmptyAreaKeepsTheLastFrameAndANewSurfaceIsDrawnWhole) {
  begin(100, 100);
  card(10, 10, 30, 30);
  context->endFrame();
  context->takeChangedRows();
  Pixel drawn = context->readPixel(25, 25);
  EXPECT_GT(drawn[3], 0);
  begin(100, 100);
  EXPECT_TRUE(context->redrawOnly({0, 0, 0, 0}, {0, 0, 100, 100}));
  context->endFrame();
  EXPECT_TRUE(context->takeChangedRows().empty()) << "nothing to upload again";
  EXPECT_TRUE(context->drawn());
  EXPECT_EQ(context->readPixel(25, 25), drawn);
  begin(120, 100);
  EXPECT_FALSE(context->redrawOnly({0, 0, 10, 10}, {0, 0, 10, 10})) << "a resized surface";
}

}  // namespace

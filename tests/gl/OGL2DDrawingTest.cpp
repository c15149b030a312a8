// Pixels of the 2D drawing, checked by hand against what each call must paint.
#include <cmath>
#include <climits>
#include <vector>

#include "tests/gl/OGLTestCanvas.h"
#include "ui/gl/OGLF.h"

namespace {

constexpr OGLTColor red{1, 0, 0, 1};
constexpr OGLTColor blue{0, 0, 1, 1};

using Drawing = OGLTestCanvas;

TEST_F(Drawing, FillsARectOnWholePixelsAndNothingElse) {
  fillRect(10, 10, 20, 10, red);
  EXPECT_EQ(at(10, 10), kRed);
  EXPECT_EQ(at(29, 19), kRed);
  EXPECT_EQ(at(30, 19), kClear);
  EXPECT_EQ(at(29, 20), kClear);
  EXPECT_EQ(at(9, 10), kClear);
}

TEST_F(Drawing, HalfPixelEdgesAreHalfCovered) {
  fillRect(10.5f, 10, 10, 10, red);
  Pixel edge = at(10, 12);
  EXPECT_NEAR(edge[3], 128, 3);
  EXPECT_EQ(at(11, 12), kRed);
}

// Each sub-path is turned to its winding before the non-zero fill: a hole cuts, whatever the
// order its points came in; two solids overlap without cancelling.
TEST_F(Drawing, SubPathWindingDecidesSolidOrHole) {
  struct Case {
    int winding;
    bool reversedPoints;
    Pixel centre;
  } cases[] = {
      {kOGLWindingHole, false, kClear},
      {kOGLWindingHole, true, kClear},
      {kOGLWindingSolid, false, kRed},
      {kOGLWindingSolid, true, kRed},
  };
  for (const Case& c : cases) {
    begin(64, 64);
    OGLF2DPathBegin(ctx());
    OGLF2DPathRect(ctx(), 0, 0, 40, 40);
    if (c.reversedPoints) {
      const float inner[] = {10, 10, 30, 10, 30, 30, 10, 30};
      OGLF2DPathPolyline(ctx(), inner, 4, true);
    } else {
      OGLF2DPathRect(ctx(), 10, 10, 20, 20);
    }
    OGLF2DPathWinding(ctx(), c.winding);
    OGLF2DPathFillColor(ctx(), &red);
    OGLF2DPathFill(ctx());
    EXPECT_EQ(at(20, 20), c.centre) << "winding " << c.winding << " reversed " << c.reversedPoints;
    EXPECT_EQ(at(5, 5), kRed);
  }
}

TEST_F(Drawing, StrokeWidthScalesWithTheTransform) {
  OGLF2DPathBegin(ctx());
  OGLF2DPathMoveTo(ctx(), 0, 10);
  OGLF2DPathLineTo(ctx(), 64, 10);
  OGLF2DPathStrokeColor(ctx(), &red);
  OGLF2DPathStrokeWidth(ctx(), 2);
  OGLF2DPathStroke(ctx());
  OGLF2DScale(ctx(), 2, 2);
  OGLF2DPathBegin(ctx());
  OGLF2DPathMoveTo(ctx(), 0, 20);
  OGLF2DPathLineTo(ctx(), 32, 20);
  OGLF2DPathStrokeColor(ctx(), &blue);
  OGLF2DPathStrokeWidth(ctx(), 2);
  OGLF2DPathStroke(ctx());
  EXPECT_EQ(at(20, 9), kRed);
  EXPECT_EQ(at(20, 10), kRed);
  EXPECT_EQ(at(20, 8), kClear);
  EXPECT_EQ(at(20, 11), kClear);
  // 2 wide at scale 2: rows 38 to 41.
  EXPECT_EQ(at(20, 38), (Pixel{0, 0, 255, 255}));
  EXPECT_EQ(at(20, 41), (Pixel{0, 0, 255, 255}));
  EXPECT_EQ(at(20, 37), kClear);
  EXPECT_EQ(at(20, 42), kClear);
}

TEST_F(Drawing, ClipEnterScissorsAndMovesTheOriginUntilLeave) {
  OGLTRect clip{10, 20, 30, 40};
  OGLF2DClipEnter(ctx(), &clip, true);
  fillRect(-100, -100, 300, 300, red);
  OGLF2DClipLeave(ctx());
  fillRect(0, 0, 2, 2, red);
  EXPECT_EQ(at(10, 20), kRed);
  EXPECT_EQ(at(29, 39), kRed);
  EXPECT_EQ(at(30, 39), kClear);
  EXPECT_EQ(at(9, 25), kClear);
  EXPECT_EQ(at(15, 41), kClear);
  EXPECT_EQ(at(1, 1), kRed);

  // Without clipping only the origin moves; nested clips intersect.
  begin(64, 64);
  OGLTRect outer{0, 0, 20, 20}, inner{10, 10, 40, 40};
  OGLF2DClipEnter(ctx(), &outer, true);
  OGLF2DClipEnter(ctx(), &inner, true);
  fillRect(0, 0, 100, 100, red);
  OGLF2DClipLeave(ctx());
  OGLF2DClipLeave(ctx());
  EXPECT_EQ(at(15, 15), kRed);
  EXPECT_EQ(at(21, 21), kClear);
  EXPECT_EQ(at(5, 5), kClear);
}

TEST_F(Drawing, StatePullRestoresTransformAndPaint) {
  OGLF2DPathFillColor(ctx(), &red);
  OGLF2DStatePush(ctx());
  OGLF2DTranslate(ctx(), 30, 30);
  OGLF2DPathFillColor(ctx(), &blue);
  OGLF2DStatePull(ctx());
  OGLF2DPathBegin(ctx());
  OGLF2DPathRect(ctx(), 0, 0, 10, 10);
  OGLF2DPathFill(ctx());
  EXPECT_EQ(at(5, 5), kRed);
  EXPECT_EQ(at(35, 35), kClear);
}

// Pushes beyond the depth the context keeps are ignored with their pulls, so every pull still
// pairs with its own push and the states below come back as they were.
TEST_F(Drawing, StatePullsPairWithTheirPushesBeyondTheDepthKept) {
  OGLF2DStatePush(ctx());
  OGLF2DTranslate(ctx(), 20, 0);
  for (int i = 0; i < 100; ++i) {
    OGLF2DStatePush(ctx());
    OGLF2DTranslate(ctx(), 1, 0);
  }
  for (int i = 0; i < 100; ++i) OGLF2DStatePull(ctx());
  fillRect(0, 0, 10, 10, red);
  EXPECT_EQ(at(25, 5), kRed);
  EXPECT_EQ(at(5, 5), kClear);
  OGLF2DStatePull(ctx());
  fillRect(0, 20, 10, 10, red);
  EXPECT_EQ(at(5, 25), kRed);
}

TEST_F(Drawing, TintMovesColoursTowardsWhiteAndKeepsAlpha) {
  OGLTColor translucent{0.2f, 0.4f, 0.6f, 1};
  OGLF2DPathBegin(ctx());
  OGLF2DPathRect(ctx(), 0, 0, 10, 10);
  OGLF2DPathFillColorWithTint(ctx(), &translucent, 0);
  OGLF2DPathFill(ctx());
  OGLF2DPathBegin(ctx());
  OGLF2DPathRect(ctx(), 10, 0, 10, 10);
  OGLF2DPathFillColorWithTint(ctx(), &translucent, 1);
  OGLF2DPathFill(ctx());
  OGLF2DPathBegin(ctx());
  OGLF2DPathRect(ctx(), 20, 0, 10, 10);
  OGLF2DPathFillColorWithTint(ctx(), &translucent, 0.5f);
  OGLF2DPathFill(ctx());
  EXPECT_TRUE(near(at(5, 5), {51, 102, 153, 255}));
  EXPECT_TRUE(near(at(15, 5), {255, 255, 255, 255}));
  EXPECT_TRUE(near(at(25, 5), {153, 178, 204, 255}));
}

TEST_F(Drawing, LinearGradientRunsFromStartToEnd) {
  OGLTPaint paint;
  OGLTColor black{0, 0, 0, 1}, white{1, 1, 1, 1};
  OGLF2DMakeLinearGradient(ctx(), &paint, &black, &white, 10, 0, 50, 0);
  OGLF2DPathBegin(ctx());
  OGLF2DPathRect(ctx(), 0, 0, 64, 4);
  OGLF2DPathFillPaint(ctx(), &paint);
  OGLF2DPathFill(ctx());
  EXPECT_TRUE(near(at(2, 1), {0, 0, 0, 255}));
  EXPECT_TRUE(near(at(30, 1), {128, 128, 128, 255}, 6));
  EXPECT_TRUE(near(at(60, 1), {255, 255, 255, 255}));
  Pixel quarter = at(20, 1);
  EXPECT_NEAR(quarter[0], 67, 6);
}

// Fading to a transparent colour keeps the visible end's hue half way, as a premultiplied mix.
TEST_F(Drawing, FadingToTransparentKeepsTheHue) {
  OGLTPaint paint;
  OGLTColor clearWhite{1, 1, 1, 0};
  OGLF2DMakeLinearGradient(ctx(), &paint, &red, &clearWhite, 0, 0, 64, 0);
  OGLF2DPathBegin(ctx());
  OGLF2DPathRect(ctx(), 0, 0, 64, 4);
  OGLF2DPathFillPaint(ctx(), &paint);
  OGLF2DPathFill(ctx());
  Pixel middle = at(32, 1);
  EXPECT_NEAR(middle[3], 124, 6);
  EXPECT_EQ(middle[0], 255);
  EXPECT_LE(middle[1], 2);
}

TEST_F(Drawing, PaintIsFixedInTheTransformWhenSet) {
  OGLTPaint paint;
  OGLTColor black{0, 0, 0, 1}, white{1, 1, 1, 1};
  OGLF2DMakeLinearGradient(ctx(), &paint, &black, &white, 0, 0, 10, 0);
  OGLF2DTranslate(ctx(), 40, 0);
  OGLF2DPathFillPaint(ctx(), &paint);
  OGLF2DTranslate(ctx(), -40, 0);
  OGLF2DPathBegin(ctx());
  OGLF2DPathRect(ctx(), 0, 0, 64, 4);
  OGLF2DPathFill(ctx());
  EXPECT_TRUE(near(at(20, 1), {0, 0, 0, 255}));
  EXPECT_TRUE(near(at(55, 1), {255, 255, 255, 255}));
}

TEST_F(Drawing, BoxGradientFeathersAroundARoundedBox) {
  OGLTPaint paint;
  OGLTColor inner{1, 0, 0, 1}, outer{1, 0, 0, 0};
  OGLF2DMakeBoxGradient(ctx(), &paint, &inner, &outer, 16, 16, 32, 32, 4, 8);
  OGLF2DPathBegin(ctx());
  OGLF2DPathRect(ctx(), 0, 0, 64, 64);
  OGLF2DPathFillPaint(ctx(), &paint);
  OGLF2DPathFill(ctx());
  EXPECT_EQ(at(32, 32), kRed);
  EXPECT_EQ(at(1, 32), kClear);
  // On the box's edge the feather is half way.
  // Pixel 47's centre is half a pixel inside: (0.5 - 0.5 / 8) of the inner colour.
  Pixel edge = at(47, 32);
  EXPECT_NEAR(edge[3], 143, 2);
  EXPECT_EQ(edge[0], 255);
  // A second frame draws the same from the cache.
  begin(64, 64);
  OGLF2DPathFillPaint(ctx(), &paint);
  OGLF2DPathBegin(ctx());
  OGLF2DPathRect(ctx(), 0, 0, 64, 64);
  OGLF2DPathFill(ctx());
  EXPECT_EQ(at(47, 32), edge);
}

TEST_F(Drawing, TexturePatternStretchesTheImageWithItsAlpha) {
  const unsigned char rgba[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128};
  int texture = OGLF2DTextureMake(ctx(), 2, 2, rgba);
  ASSERT_GT(texture, 0);
  OGLTPaint paint;
  OGLF2DMakeTexturePattern(ctx(), &paint, texture, 0, 0, 40, 40, 0, 1);
  OGLF2DPathBegin(ctx());
  OGLF2DPathRect(ctx(), 0, 0, 40, 40);
  OGLF2DPathFillPaint(ctx(), &paint);
  OGLF2DPathFill(ctx());
  EXPECT_EQ(at(2, 2), kRed);
  EXPECT_EQ(at(37, 2), (Pixel{0, 255, 0, 255}));
  EXPECT_EQ(at(2, 37), (Pixel{0, 0, 255, 255}));
  EXPECT_TRUE(near(at(37, 37), {255, 255, 255, 128}));

  begin(64, 64);
  OGLF2DMakeTexturePattern(ctx(), &paint, texture, 0, 0, 40, 40, 0, 0.5f);
  OGLF2DPathBegin(ctx());
  OGLF2DPathRect(ctx(), 0, 0, 40, 40);
  OGLF2DPathFillPaint(ctx(), &paint);
  OGLF2DPathFill(ctx());
  EXPECT_TRUE(near(at(2, 2), {255, 0, 0, 128}));

  // Sync replaces the pixels; a freed texture paints nothing.
  const unsigned char white[16] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
  OGLF2DTextureSync(ctx(), texture, white);
  begin(64, 64);
  OGLF2DMakeTexturePattern(ctx(), &paint, texture, 0, 0, 40, 40, 0, 1);
  OGLF2DPathFillPaint(ctx(), &paint);
  OGLF2DPathBegin(ctx());
  OGLF2DPathRect(ctx(), 0, 0, 40, 40);
  OGLF2DPathFill(ctx());
  EXPECT_EQ(at(2, 2), kWhite);
  OGLF2DTextureFree(ctx(), texture);
  begin(64, 64);
  OGLF2DPathFill(ctx());
  EXPECT_EQ(at(2, 2), kClear);
}

// A paint built from numbers that are not finite (a layout that divided by zero) paints
// nothing, and the drawing after it, in this frame and the next, still shows.
TEST_F(Drawing, PaintsOfNumbersThatAreNotFiniteDoNotStopLaterDrawing) {
  const unsigned char rgba[16] = {0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255};
  int texture = OGLF2DTextureMake(ctx(), 2, 2, rgba);
  ASSERT_GT(texture, 0);
  const float nan = std::nanf(""), inf = INFINITY;
  OGLTColor half{0, 0, 1, 0.5f};
  OGLTPaint paints[6];
  OGLF2DMakeTexturePattern(ctx(), &paints[0], texture, 0, 0, nan, 40, 0, 1);
  OGLF2DMakeTexturePattern(ctx(), &paints[1], texture, 0, 0, inf, 40, 0, 1);
  OGLF2DMakeTexturePattern(ctx(), &paints[2], texture, nan, 0, 40, 40, 0, 1);
  OGLF2DMakeLinearGradient(ctx(), &paints[3], &blue, &half, nan, 0, 40, 40);
  OGLF2DMakeLinearGradient(ctx(), &paints[4], &blue, &half, 0, inf, 0, 40);
  OGLF2DMakeBoxGradient(ctx(), &paints[5], &blue, &half, 0, 0, nan, 40, 4, 8);
  for (const OGLTPaint& paint : paints) {
    begin(64, 64);
    OGLF2DPathBegin(ctx());
    OGLF2DPathRect(ctx(), 0, 0, 40, 40);
    OGLF2DPathFillPaint(ctx(), &paint);
    OGLF2DPathFill(ctx());
    OGLF2DPathStrokePaint(ctx(), &paint);
    OGLF2DPathStroke(ctx());
    fillRect(50, 50, 10, 10, red);
    EXPECT_EQ(at(55, 55), kRed) << int(&paint - paints);
    begin(64, 64);
    fillRect(50, 50, 10, 10, red);
    EXPECT_EQ(at(52, 52), kRed) << int(&paint - paints);
  }
}

TEST_F(Drawing, TextureSizesThatCannotBeMadeAreRefused) {
  std::vector<unsigned char> pixels(64, 255);
  struct Case {
    int w, h;
    const unsigned char* bytes;
  } cases[] = {{0, 10, pixels.data()},       {10, 0, pixels.data()}, {-4, 4, pixels.data()},
               {4, -4, pixels.data()},       {4, 4, nullptr},        {INT_MAX, INT_MAX, pixels.data()},
               {65536, 65536, pixels.data()}};
  for (const Case& c : cases) EXPECT_EQ(OGLF2DTextureMake(ctx(), c.w, c.h, c.bytes), -1) << c.w << " x " << c.h;
  EXPECT_GT(OGLF2DTextureMake(ctx(), 4, 4, pixels.data()), 0);
  OGLF2DTextureSync(ctx(), -1, pixels.data());
  OGLF2DTextureFree(ctx(), -1);
}

TEST_F(Drawing, PolylineNeedsTwoPointsAndClosesBackWhenAsked) {
  const float one[] = {5, 5};
  OGLF2DPathBegin(ctx());
  OGLF2DPathPolyline(ctx(), one, 1, true);
  OGLF2DPathStrokeColor(ctx(), &red);
  OGLF2DPathStroke(ctx());
  context->endFrame();
  EXPECT_FALSE(context->drawn());

  const float corner[] = {10.5f, 10.5f, 40.5f, 10.5f, 40.5f, 40.5f};
  for (bool closed : {false, true}) {
    begin(64, 64);
    OGLF2DPathBegin(ctx());
    OGLF2DPathPolyline(ctx(), corner, 3, closed);
    OGLF2DPathStrokeColor(ctx(), &red);
    OGLF2DPathStrokeWidth(ctx(), 1);
    OGLF2DPathStroke(ctx());
    EXPECT_EQ(at(25, 10), kRed);
    EXPECT_EQ(at(40, 25), kRed);
    // The closing diagonal passes through (25.5, 25.5).
    EXPECT_EQ(at(25, 25)[3] > 100, closed) << "closed " << closed;
  }
}

TEST_F(Drawing, CrossIsTwoOnePixelStrokes) {
  OGLTPoint centre{20.5f, 20.5f};
  OGLF2DDrawCross(ctx(), &centre, &red, 5);
  EXPECT_EQ(at(20, 16), kRed);
  EXPECT_EQ(at(20, 24), kRed);
  EXPECT_EQ(at(16, 20), kRed);
  EXPECT_EQ(at(24, 20), kRed);
  EXPECT_EQ(at(20, 14), kClear);
  EXPECT_EQ(at(23, 23), kClear);
}

TEST_F(Drawing, ArcAndCircleCoverWhatTheyEnclose) {
  OGLF2DPathBegin(ctx());
  OGLF2DPathCircle(ctx(), 32, 32, 10);
  OGLF2DPathFillColor(ctx(), &red);
  OGLF2DPathFill(ctx());
  EXPECT_EQ(at(32, 32), kRed);
  EXPECT_EQ(at(32, 23), kRed);
  EXPECT_EQ(at(32, 20), kClear);
  EXPECT_EQ(at(23, 23), kClear);

  // Clockwise on screen from 0 to pi is the lower half.
  begin(64, 64);
  OGLF2DPathBegin(ctx());
  OGLF2DPathArc(ctx(), 32, 32, 10, 0, 3.14159265f, kOGLWindingHole);
  OGLF2DPathClose(ctx());
  OGLF2DPathFillColor(ctx(), &red);
  OGLF2DPathFill(ctx());
  EXPECT_EQ(at(32, 38), kRed);
  EXPECT_EQ(at(32, 26), kClear);
}

TEST_F(Drawing, PixelRatioMapsLogicalUnitsOntoMorePixels) {
  begin(32, 32, 2);
  EXPECT_EQ(context->pixelWidth(), 64);
  fillRect(10, 10, 5, 5, red);
  EXPECT_EQ(at(20, 20), kRed);
  EXPECT_EQ(at(29, 29), kRed);
  EXPECT_EQ(at(30, 30), kClear);
}

TEST_F(Drawing, OnlyChangedRowsNeedCopyingAndAnEmptyFrameCostsNothing) {
  context->endFrame();
  OGLTRowSpan fresh = context->takeChangedRows();
  EXPECT_EQ(fresh.top, 0);
  EXPECT_EQ(fresh.bottom, 64);

  begin(64, 64);
  fillRect(0, 40, 10, 4, red);
  context->endFrame();
  EXPECT_TRUE(context->drawn());
  OGLTRowSpan rows = context->takeChangedRows();
  EXPECT_LE(rows.top, 40);
  EXPECT_GE(rows.bottom, 44);
  EXPECT_LT(rows.bottom - rows.top, 10);

  // An empty frame leaves a clear surface; the cleared rows are owed to the next copy.
  begin(64, 64);
  context->endFrame();
  EXPECT_FALSE(context->drawn());
  EXPECT_EQ(at(1, 41), kClear);
  begin(64, 64);
  context->endFrame();
  begin(64, 64);
  fillRect(0, 0, 4, 4, red);
  EXPECT_EQ(at(1, 1), kRed);
  rows = context->takeChangedRows();
  EXPECT_EQ(rows.top, 0);
  EXPECT_GE(rows.bottom, 44);
  EXPECT_TRUE(context->takeChangedRows().empty());

  // A frame that drew nothing and was never ended leaves its clearing to the next drawing.
  begin(64, 64);
  fillRect(0, 50, 4, 4, red);
  begin(64, 64);
  begin(64, 64);
  fillRect(0, 0, 4, 4, red);
  EXPECT_EQ(at(1, 51), kClear);
}

TEST_F(Drawing, GlobalPointsMapThroughTheInverseTransform) {
  OGLF2DTranslate(ctx(), 10, 20);
  OGLF2DScale(ctx(), 2, 4);
  OGLTPoint global{30, 60};
  OGLTPoint local = OGLFPointGlobal2Local(ctx(), &global);
  EXPECT_FLOAT_EQ(local.x, 10);
  EXPECT_FLOAT_EQ(local.y, 10);
}

}  // namespace

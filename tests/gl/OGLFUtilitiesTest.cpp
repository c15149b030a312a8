// The GL layer's utilities that need no window.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLF.h"

namespace {

TEST(OGLFTimer, FiresOnTheTickNearestThePeriod) {
  OGLTTimer timer;
  OGLFTimerInit(&timer);
  EXPECT_FALSE(OGLFTimerTick(&timer, 0.3f, 1.0f));
  EXPECT_FALSE(OGLFTimerTick(&timer, 0.3f, 1.0f));
  EXPECT_TRUE(OGLFTimerTick(&timer, 0.3f, 1.0f));
  EXPECT_EQ(timer.total, 0);
  OGLFTimerHold(&timer, true);
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(OGLFTimerTick(&timer, 0.3f, 1.0f));
  EXPECT_EQ(timer.total, 0);
  EXPECT_FALSE(OGLFTimerTick(nullptr, 1, 1));
  OGLFTimerInit(nullptr);
  OGLFTimerHold(nullptr, true);
}

TEST(OGLFCodePointToUTF8, EncodesScalarValuesAndReplacesTheRest) {
  struct Case {
    int codePoint;
    const char* bytes;
  } cases[] = {
      {0x41, "\x41"},
      {0xE9, "\xC3\xA9"},
      {0x20AC, "\xE2\x82\xAC"},
      {0xE800, "\xEE\xA0\x80"},
      {0x1F600, "\xF0\x9F\x98\x80"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
      {0x110000, "\xEF\xBF\xBD"},
      {-1, "\xEF\xBF\xBD"},
      {0x7FFFFFFF, "\xEF\xBF\xBD"},
      {0xD800, "\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    char out[7];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(OGLFCodePointToUTF8(c.codePoint, out), out);
    EXPECT_STREQ(out, c.bytes) << std::hex << c.codePoint;
  }
  char zero[7];
  EXPECT_EQ(OGLFCodePointToUTF8(0, zero)[0], 0);
}

// Without a window the context keeps a clipboard and key states of its own.
TEST(OGLFClipboard, AContextWithoutAWindowKeepsItsOwn) {
  std::unique_ptr<OGLC2DContext> ctx = OGLC2DContext::make();
  ASSERT_TRUE(ctx);
  EXPECT_EQ(OGLFGetClipboard(ctx.get()), nullptr);
  OGLFSetClipboard(ctx.get(), "h\xC3\xA9");
  ASSERT_NE(OGLFGetClipboard(ctx.get()), nullptr);
  EXPECT_STREQ(OGLFGetClipboard(ctx.get()), "h\xC3\xA9");
  OGLFSetClipboard(ctx.get(), nullptr);  // ignored
  EXPECT_STREQ(OGLFGetClipboard(ctx.get()), "h\xC3\xA9");
  EXPECT_EQ(OGLFGetKeyAction(ctx.get(), 340), 1);
  ctx->setOwnKeyAction(340, 2);
  EXPECT_EQ(OGLFGetKeyAction(ctx.get(), 340), 2);
  EXPECT_EQ(OGLFGetKeyAction(ctx.get(), 5000), 1);  // not a key
}

TEST(OGLFKeyToString, NamesTheKnownKeysOnly) {
  EXPECT_STREQ(OGLFKeyToString(32), "Space");
  EXPECT_STREQ(OGLFKeyToString(65), "A");
  EXPECT_STREQ(OGLFKeyToString(39), "'");
  EXPECT_STREQ(OGLFKeyToString(92), "\\");
  EXPECT_STREQ(OGLFKeyToString(96), "`");
  EXPECT_STREQ(OGLFKeyToString(256), "ESCAPE");
  EXPECT_STREQ(OGLFKeyToString(269), "END");
  EXPECT_STREQ(OGLFKeyToString(284), "PAUSE");
  EXPECT_STREQ(OGLFKeyToString(314), "F25");
  EXPECT_STREQ(OGLFKeyToString(336), "KP_EQUAL");
  EXPECT_STREQ(OGLFKeyToString(348), "MENU");
  for (int key : {161, 162, 40, 58, 60, 94, 270, 285, 315, 337, 349, -1, 0})
    EXPECT_EQ(OGLFKeyToString(key), nullptr) << key;
  int named = 0;
  for (int key = -10; key < 1000; ++key) named += OGLFKeyToString(key) != nullptr;
  EXPECT_EQ(named, 118);
}

TEST(OGLFModToString, NamesSingleBitsOnly) {
  EXPECT_STREQ(OGLFModToString(1), "Shift");
  EXPECT_STREQ(OGLFModToString(2), "Control");
  EXPECT_STREQ(OGLFModToString(4), "Alt");
  EXPECT_STREQ(OGLFModToString(8), "Super");
  for (int bit : {0, 3, 5, 6, 7, 9, 16, -1}) EXPECT_EQ(OGLFModToString(bit), nullptr) << bit;
}

TEST(OGLFPolygonTestPoint, TellsInsideOutsideAndBoundary) {
  const float square[] = {0, 0, 10, 0, 10, 10, 0, 10};
  // An L shape: its notch is outside.
  const float ell[] = {0, 0, 10, 0, 10, 4, 4, 4, 4, 10, 0, 10};
  struct Case {
    const float* polygon;
    uint32_t count;
    OGLTPoint point;
    int expected;
  } cases[] = {
      {square, 4, {5, 5}, 1},  {square, 4, {15, 5}, 0}, {square, 4, {-1, 5}, 0},  {square, 4, {10.05f, 10}, -1},
      {square, 4, {5, 0}, -1}, {square, 4, {0, 5}, -1}, {square, 4, {10, 5}, -1}, {square, 4, {5, 10.05f}, -1},
      {ell, 6, {2, 8}, 1},     {ell, 6, {8, 8}, 0},     {ell, 6, {8, 2}, 1},      {square, 0, {5, 5}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(_OGLFPolygonTestPoint(c.polygon, c.count, &c.point), c.expected) << c.point.x << ", " << c.point.y;
    EXPECT_EQ(OGLFPolygonTestPoint(c.polygon, c.count, &c.point), c.expected != 0);
  }
  OGLTPoint p{1, 1};
  EXPECT_FALSE(OGLFPolygonTestPoint(nullptr, 4, &p));
}

}  // namespace

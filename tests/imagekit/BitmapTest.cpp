#include "imagekit/IMKCBitmap.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const IMKCBitmap& bitmap) { return Bytes(bitmap.bytes(), bitmap.bytes() + bitmap.length()); }

// A width x height bitmap whose bytes count up from `first`.
Ref<IMKCBitmap> counting(uint32_t width, uint32_t height, int32_t format, uint8_t first) {
  Ref<IMKCBitmap> bitmap = IMKCBitmap::bitmapWithWidth(width, height, format);
  for (uint64_t i = 0; i < bitmap->length(); ++i) bitmap->bytes()[i] = static_cast<uint8_t>(first + i);
  return bitmap;
}

}  // namespace

TEST(Bitmap, MadeAtASizeHoldsZeroedPixels) {
  Ref<IMKCBitmap> bitmap = IMKCBitmap::bitmapWithWidth(4, 3, IMKPixelFormatRGBA);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->length(), 48u);
  EXPECT_EQ(bitmap->width(), 4u);
  EXPECT_EQ(bitmap->height(), 3u);
  EXPECT_EQ(bitmap->format(), IMKPixelFormatRGBA);
  EXPECT_EQ(bytesOf(*bitmap), Bytes(48, 0));
  for (int32_t format : {0, 6, -1}) EXPECT_FALSE(IMKCBitmap::bitmapWithWidth(4, 3, format)) << format;
}

TEST(Bitmap, AroundDataThatHoldsTheImage) {
  Ref<LLKCData> data = LLKCData::dataWithLength(2 * 2 * 3);
  Ref<IMKCBitmap> bitmap = IMKCBitmap::bitmapWithWidth(2, 2, IMKPixelFormatBGR, data);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->data(), data);  // shared, not copied
  EXPECT_FALSE(IMKCBitmap::bitmapWithWidth(2, 2, IMKPixelFormatBGRA, data)) << "data shorter than the image";
  EXPECT_FALSE(IMKCBitmap::bitmapWithWidth(2, 2, IMKPixelFormatJPEG, data));
  EXPECT_FALSE(IMKCBitmap::bitmapWithWidth(2, 2, IMKPixelFormatBGR, Ref<LLKCData>()));
}

TEST(Bitmap, FromAPathThatDoesNotExistIsNull) {
  EXPECT_FALSE(IMKCBitmap::bitmapfromPath("/nonexistent/picture.png", IMKPixelFormatBGR));
  EXPECT_FALSE(IMKCBitmap::bitmapfromPath("/nonexistent/picture.png", IMKPixelFormatJPEG));
}

TEST(Bitmap, FillsEveryPixelInItsFormat) {
  const uint8_t colour[3] = {10, 20, 30};
  const struct {
    int32_t format;
    Bytes pixel;
  } cases[] = {
      {IMKPixelFormatRGB, {10, 20, 30}},       {IMKPixelFormatRGBA, {10, 20, 30, 255}},
      {IMKPixelFormatBGR, {30, 20, 10}},       {IMKPixelFormatBGRA, {30, 20, 10, 255}},
      {IMKPixelFormatARGB, {255, 10, 20, 30}},
  };
  for (const auto& c : cases) {
    Ref<IMKCBitmap> bitmap = IMKCBitmap::bitmapWithWidth(3, 3, c.format);
    bitmap->fillWithColor(colour);
    Bytes expected;
    for (int i = 0; i < 9; ++i) expected.insert(expected.end(), c.pixel.begin(), c.pixel.end());
    EXPECT_EQ(bytesOf(*bitmap), expected) << c.format;
  }
}

TEST(Bitmap, CopiesARectangleBytesAsTheyStand) {
  Ref<IMKCBitmap> source = counting(2, 2, IMKPixelFormatBGR, 1);
  Ref<IMKCBitmap> target = IMKCBitmap::bitmapWithWidth(4, 4, IMKPixelFormatRGB);
  ASSERT_EQ(target->copy(IMKTRect{{0, 0}, {2, 2}}, *source, IMKTPoint{2, 2}), 0);
  Bytes expected(48, 0);
  for (int i = 0; i < 6; ++i) {
    expected[(2 * 4 + 2) * 3 + i] = static_cast<uint8_t>(1 + i);
    expected[(3 * 4 + 2) * 3 + i] = static_cast<uint8_t>(7 + i);
  }
  EXPECT_EQ(bytesOf(*target), expected);
}

TEST(Bitmap, CopyRefusesOutsideRectanglesAndOtherFormats) {
  Ref<IMKCBitmap> source = counting(2, 2, IMKPixelFormatBGR, 1);
  const struct {
    const char* what;
    IMKTRect rect;
    IMKTPoint point;
    int32_t targetFormat;
    int result;
  } cases[] = {
      {"placement past the corner", {{0, 0}, {2, 2}}, {3, 3}, IMKPixelFormatRGB, 15},
      {"rect x beyond the source", {{3, 0}, {0, 1}}, {0, 0}, IMKPixelFormatRGB, 15},
      {"rect y negative", {{0, -1}, {1, 1}}, {0, 0}, IMKPixelFormatRGB, 15},
      {"placement x negative", {{0, 0}, {1, 1}}, {-1, 0}, IMKPixelFormatRGB, 15},
      {"huge width does not wrap", {{1, 0}, {UINT32_MAX, 1}}, {0, 0}, IMKPixelFormatRGB, 15},
      {"RGBA receiver", {{0, 0}, {2, 2}}, {2, 2}, IMKPixelFormatRGBA, 8},
  };
  for (const auto& c : cases) {
    Ref<IMKCBitmap> target = IMKCBitmap::bitmapWithWidth(4, 4, c.targetFormat);
    const Bytes before = bytesOf(*target);
    EXPECT_EQ(target->copy(c.rect, *source, c.point), c.result) << c.what;
    EXPECT_EQ(bytesOf(*target), before) << c.what;
  }
  Ref<IMKCBitmap> rgba = IMKCBitmap::bitmapWithWidth(2, 2, IMKPixelFormatRGBA);
  Ref<IMKCBitmap> target = IMKCBitmap::bitmapWithWidth(4, 4, IMKPixelFormatRGB);
  EXPECT_EQ(target->copy(IMKTRect{{0, 0}, {2, 2}}, *rgba, IMKTPoint{0, 0}), 8);
}

TEST(Bitmap, CopyWithinItselfDownwardsKeepsTheSourceRows) {
  Ref<IMKCBitmap> bitmap = counting(1, 3, IMKPixelFormatRGB, 1);  // rows 1-3, 4-6, 7-9
  ASSERT_EQ(bitmap->copy(IMKTRect{{0, 0}, {1, 2}}, *bitmap, IMKTPoint{0, 1}), 0);
  EXPECT_EQ(bytesOf(*bitmap), (Bytes{1, 2, 3, 1, 2, 3, 4, 5, 6}));
}

TEST(Bitmap, CopiesHoldTheirOwnData) {
  Ref<IMKCBitmap> original = counting(3, 2, IMKPixelFormatARGB, 5);
  for (Ref<IMKCBitmap> copy : {original->copy(), original->deepCopy()}) {
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), original.get());
    EXPECT_NE(copy->data(), original->data());
    EXPECT_EQ(copy->format(), IMKPixelFormatARGB);
    EXPECT_EQ(copy->width(), 3u);
    EXPECT_EQ(copy->height(), 2u);
    EXPECT_EQ(bytesOf(*copy), bytesOf(*original));
  }
}

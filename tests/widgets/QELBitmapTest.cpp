// Bitmaps: byte counts from truncated sizes, borrowed data, refused sizes, textures bound,
// synced and lost in a headless context.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELCBitmap.h"

namespace {

TEST(QELBitmap, LengthComesFromTheWholeSize) {
  Ref<QELCBitmap> bitmap = QELCBitmap::bitmapWithSize({2.9f, 3.2f});
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->length(), 24u);
  EXPECT_EQ(bitmap->texture(), -1);
  for (uint64_t i = 0; i < bitmap->length(); ++i) EXPECT_EQ(bitmap->bytes()[i], 0);
}

TEST(QELBitmap, SizesThatCannotBeHeldAreRefused) {
  OGLTSize refused[] = {{70000, 70000}, {-1, 4}, {NAN, 4}, {INFINITY, 1}, {4e9f, 1}};
  for (OGLTSize size : refused) EXPECT_FALSE(QELCBitmap::bitmapWithSize(size)) << size.w << " " << size.h;
  EXPECT_TRUE(QELCBitmap::bitmapWithSize({0, 0}));
}

TEST(QELBitmap, BorrowsDataThatIsLongEnough) {
  Ref<LLKCData> data = LLKCData::dataWithLength(4 * 4 * 4);
  ASSERT_TRUE(data);
  Ref<QELCBitmap> bitmap = QELCBitmap::bitmapWithSize({4, 4}, data);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->bytes(), data->bytes());
  Ref<LLKCData> shorter = LLKCData::dataWithLength(4 * 4 * 4 - 1);
  EXPECT_FALSE(QELCBitmap::bitmapWithSize({4, 4}, shorter));
  EXPECT_FALSE(QELCBitmap::bitmapWithSize({4, 4}, nullptr));
}

TEST(QELBitmap, BindsSyncsAndLosesATexture) {
  std::unique_ptr<OGLC2DContext> context = OGLC2DContext::make(), other = OGLC2DContext::make();
  ASSERT_TRUE(context && other);
  Ref<QELCBitmap> bitmap = QELCBitmap::bitmapWithSize({2.9f, 3.2f});
  EXPECT_FALSE(bitmap->sync());
  bitmap->lose();
  EXPECT_FALSE(bitmap->bind(nullptr));
  ASSERT_TRUE(bitmap->bind(context.get()));
  EXPECT_GE(bitmap->texture(), 0);
  EXPECT_FALSE(bitmap->bind(context.get()));
  EXPECT_TRUE(bitmap->bind(other.get()));
  // New bytes shown through the texture after a sync.
  for (uint64_t i = 0; i < bitmap->length(); i += 4) {
    const uint8_t red[4] = {255, 0, 0, 255};
    std::memcpy(bitmap->bytes() + i, red, 4);
  }
  EXPECT_TRUE(bitmap->sync());
  ASSERT_TRUE(context->beginFrame(8, 8, 1));
  OGLTPaint paint;
  OGLF2DMakeTexturePattern(context.get(), &paint, bitmap->texture(), 0, 0, 2, 3, 0, 1);
  OGLF2DPathBegin(context.get());
  OGLF2DPathRect(context.get(), 0, 0, 2, 3);
  OGLF2DPathFillPaint(context.get(), &paint);
  OGLF2DPathFill(context.get());
  context->endFrame();
  auto pixel = context->readPixel(1, 1);
  EXPECT_EQ(pixel[0], 255);
  EXPECT_EQ(pixel[1], 0);
  bitmap->lose();
  EXPECT_EQ(bitmap->texture(), -1);
  EXPECT_FALSE(bitmap->sync());
}

}  // namespace

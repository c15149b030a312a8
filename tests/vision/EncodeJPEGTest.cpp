// The JPEG encoder: every raw format, and refusals instead of exits.
#include <gtest/gtest.h>

#include "imagekit/IMKFImageConvert.h"
#include "modules/vision/module/QAVFEncodeJPEG.h"

namespace {

// Four flat quadrants, so that JPEG's losses stay small.
std::vector<uint8_t> quadrants(uint32_t width, uint32_t height, uint32_t format) {
  const uint8_t rgb[4][3] = {{200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {220, 220, 40}};
  std::vector<uint8_t> raw(size_t{width} * height * 3);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c)
        raw[(size_t{y} * width + x) * 3 + c] = rgb[(y >= height / 2) * 2 + (x >= width / 2)][c];
  std::vector<uint8_t> pixels(IMKFImageLength(width, height, format));
  EXPECT_EQ(
      IMKFImageConvert(width, height, raw.data(), raw.size(), IMKPixelFormatRGB, pixels.data(), pixels.size(), format),
      0);
  return pixels;
}

TEST(EncodeJPEG, EncodesEveryRawFormatSoThatItDecodesBack) {
  const uint32_t width = 32, height = 16;
  for (uint32_t format = IMKPixelFormatRGB; format <= IMKPixelFormatARGB; ++format) {
    std::vector<uint8_t> pixels = quadrants(width, height, format);
    Ref<LLKCData> encoded;
    ASSERT_EQ(QAVFEncodeJPEG(format, pixels.data(), width, height, 95, &encoded), 0) << format;
    ASSERT_TRUE(encoded);
    ASSERT_GT(encoded->length(), 4u);
    EXPECT_EQ(encoded->bytes()[0], 0xFF);
    EXPECT_EQ(encoded->bytes()[1], 0xD8);

    std::vector<uint8_t> decoded(pixels.size());
    ASSERT_EQ(IMKFImageConvert(width, height, encoded->bytes(), encoded->length(), IMKPixelFormatJPEG, decoded.data(),
                               decoded.size(), format),
              0)
        << format;
    // Away from the quadrant borders (where chroma is blended) each colour comes back in its
    // own channels.
    const uint32_t pixelSize = IMKFPixelSize(format);
    for (uint32_t y : {4u, 12u})
      for (uint32_t x : {6u, 26u}) {
        const size_t at = (size_t{y} * width + x) * pixelSize;
        for (uint32_t c = 0; c < pixelSize; ++c)
          EXPECT_NEAR(decoded[at + c], pixels[at + c], 8) << format << " " << x << "," << y << " " << c;
      }
  }
}

TEST(EncodeJPEG, RefusesWhatItCannotEncode) {
  std::vector<uint8_t> pixels(64 * 4, 128);
  struct Case {
    const char* what;
    uint32_t format, width, height;
    const uint8_t* pixels;
    int result;
  } cases[] = {
      {"JPEG as source", IMKPixelFormatJPEG, 8, 8, pixels.data(), 22},
      {"format 6", 6, 8, 8, pixels.data(), 22},
      {"no pixels", IMKPixelFormatRGB, 8, 8, nullptr, 22},
      {"width 0", IMKPixelFormatRGB, 0, 8, pixels.data(), 22},
      {"height 0", IMKPixelFormatRGB, 8, 0, pixels.data(), 22},
      // Beyond libjpeg's largest side: an error, never an exit, and no pixel read.
      {"width 65501", IMKPixelFormatRGB, 65501, 1, pixels.data(), 27},
      {"height 70000", IMKPixelFormatBGRA, 1, 70000, pixels.data(), 27},
      {"both 4294967295", IMKPixelFormatBGR, 0xFFFFFFFF, 0xFFFFFFFF, pixels.data(), 27},
  };
  for (const auto& c : cases) {
    Ref<LLKCData> encoded;
    EXPECT_EQ(QAVFEncodeJPEG(c.format, c.pixels, c.width, c.height, 95, &encoded), c.result) << c.what;
    EXPECT_FALSE(encoded) << c.what;
  }
  EXPECT_EQ(QAVFEncodeJPEG(IMKPixelFormatRGB, pixels.data(), 8, 8, 95, nullptr), 22);
}

TEST(EncodeJPEG, TakesTheLargestSideLibjpegAllows) {
  std::vector<uint8_t> row(size_t{65500} * 3, 90);
  Ref<LLKCData> encoded;
  EXPECT_EQ(QAVFEncodeJPEG(IMKPixelFormatRGB, row.data(), 65500, 1, 95, &encoded), 0);
  EXPECT_TRUE(encoded);
}

}  // namespace

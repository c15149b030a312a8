#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKFImageDecodeJPEG.h"
#include "tests/imagekit/JPEGFixtures.h"
#include "tests/support/OutputCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>
#include <string>

namespace {

constexpr uint32_t kWidth = 37, kHeight = 29;  // odd, not a multiple of any block size
constexpr uint8_t kUntouched = 0xA5;

struct Output {
  uint32_t format;
  int colorSpace;
};

const Output kOutputs[] = {
    {IMKPixelFormatRGB, JCS_EXT_RGB},   {IMKPixelFormatRGBA, JCS_EXT_RGBA}, {IMKPixelFormatBGR, JCS_EXT_BGR},
    {IMKPixelFormatBGRA, JCS_EXT_BGRA}, {IMKPixelFormatARGB, JCS_EXT_ARGB},
};

Bytes testJPEG(const JPEGOptions& options = {}) {
  return encodeJPEG(makeTestPicture(kWidth, kHeight), kWidth, kHeight, options);
}

int decode(const Bytes& jpeg, Bytes& dst, uint32_t format, uint32_t width = kWidth, uint32_t height = kHeight) {
  return IMKFImageConvert(width, height, jpeg.data(), jpeg.size(), IMKPixelFormatJPEG, dst.data(), dst.size(), format);
}

}  // namespace

TEST(JPEGDecode, BitExactWithLibjpegForEverySamplingAndOutput) {
  const struct {
    const char* name;
    JPEGOptions options;
  } images[] = {
      {"4:2:0", {Sampling::s420}},
      {"4:4:4", {Sampling::s444}},
      {"progressive", {Sampling::s420, true}},
      {"greyscale", {Sampling::grey}},
      {"own Huffman tables", {Sampling::s420, false, true}},
  };
  for (const auto& image : images) {
    const Bytes jpeg = testJPEG(image.options);
    for (const Output& output : kOutputs) {
      Bytes dst(IMKFImageLength(kWidth, kHeight, output.format));
      ASSERT_EQ(decode(jpeg, dst, output.format), 0) << image.name;
      EXPECT_EQ(dst, referenceDecode(jpeg, output.colorSpace)) << image.name << " into format " << output.format;
    }
  }
}

TEST(JPEGDecode, AlphaComesOutOpaque) {
  Bytes dst(IMKFImageLength(kWidth, kHeight, IMKPixelFormatARGB));
  ASSERT_EQ(decode(testJPEG(), dst, IMKPixelFormatARGB), 0);
  for (size_t i = 0; i < dst.size(); i += 4) ASSERT_EQ(dst[i], 255);
}

TEST(JPEGDecode, FramesWithoutHuffmanTablesUseTheStandardOnes) {
  const Bytes jpeg = testJPEG();
  const Bytes frame = withoutHuffmanTables(jpeg);
  ASSERT_LT(frame.size(), jpeg.size());
  Bytes fromFrame(IMKFImageLength(kWidth, kHeight, IMKPixelFormatRGB)), fromJPEG(fromFrame.size());
  ASSERT_EQ(decode(frame, fromFrame, IMKPixelFormatRGB), 0);
  ASSERT_EQ(decode(jpeg, fromJPEG, IMKPixelFormatRGB), 0);
  EXPECT_EQ(fromFrame, fromJPEG);
}

// The stream's own size must be the size given: a smaller image would leave the buffer partly
// stale, a larger one would write past it.
TEST(JPEGDecode, RefusesAnImageOfAnotherSizeWithoutWriting) {
  const Bytes jpeg = testJPEG();
  for (auto [width, height] : {std::pair{kWidth - 1, kHeight}, {kWidth, kHeight - 1}, {kWidth + 1, kHeight}}) {
    OutputCapture log;
    Bytes dst(IMKFImageLength(kWidth + 1, kHeight + 1, IMKPixelFormatRGBA), kUntouched);
    EXPECT_EQ(decode(jpeg, dst, IMKPixelFormatRGBA, width, height), 26) << width << "x" << height;
    EXPECT_EQ(dst, Bytes(dst.size(), kUntouched));
  }
}

// A stream that ends early is a failed decode (26), not a picture with a grey bottom; libjpeg's
// message goes to the log.
TEST(JPEGDecode, StreamThatEndsEarlyFails) {
  for (const JPEGOptions& options : {JPEGOptions{Sampling::s420}, JPEGOptions{Sampling::s420, true}}) {
    const Bytes jpeg = testJPEG(options);
    for (size_t keep : {jpeg.size() / 2, jpeg.size() - 2}) {
      OutputCapture log;
      Bytes dst(IMKFImageLength(kWidth, kHeight, IMKPixelFormatRGB));
      EXPECT_EQ(decode(Bytes(jpeg.begin(), jpeg.begin() + keep), dst, IMKPixelFormatRGB), 26) << keep;
      EXPECT_NE(log.text().find("IMKFImageConvertFromMPEG : "), std::string::npos) << log.text();
    }
  }
}

TEST(JPEGDecode, CorruptOrEmptyStreamsFail) {
  Bytes broken = testJPEG();
  broken.resize(300);  // header tables without a frame
  const Bytes cases[] = {{}, {0xFF, 0xD8}, Bytes(64, 0x42), broken};
  for (const Bytes& jpeg : cases) {
    OutputCapture log;
    Bytes dst(IMKFImageLength(kWidth, kHeight, IMKPixelFormatRGB));
    EXPECT_EQ(decode(jpeg, dst, IMKPixelFormatRGB), 26) << jpeg.size();
  }
}

TEST(JPEGDecode, DecoderChecksStrideAndLength) {
  const Bytes jpeg = testJPEG();
  Bytes dst(size_t{kWidth} * 3 * kHeight, kUntouched);
  OutputCapture log;
  EXPECT_FALSE(IMKFImageConvertFromMPEG(jpeg.data(), jpeg.size(), dst.data(), dst.size(), JCS_EXT_RGB, kWidth * 3 - 1,
                                        kWidth, kHeight));
  EXPECT_FALSE(IMKFImageConvertFromMPEG(jpeg.data(), jpeg.size(), dst.data(), dst.size() - 1, JCS_EXT_RGB, kWidth * 3,
                                        kWidth, kHeight));
  EXPECT_FALSE(
      IMKFImageConvertFromMPEG(jpeg.data(), jpeg.size(), dst.data(), dst.size(), 99, kWidth * 3, kWidth, kHeight));
  EXPECT_EQ(dst, Bytes(dst.size(), kUntouched));
  // A wider stride leaves the gap between rows alone.
  Bytes padded(size_t{kWidth * 3 + 5} * kHeight, kUntouched);
  ASSERT_TRUE(IMKFImageConvertFromMPEG(jpeg.data(), jpeg.size(), padded.data(), padded.size(), JCS_EXT_RGB,
                                       kWidth * 3 + 5, kWidth, kHeight));
  const Bytes reference = referenceDecode(jpeg, JCS_EXT_RGB);
  for (uint32_t y = 0; y < kHeight; ++y) {
    const auto row = padded.begin() + y * (kWidth * 3 + 5);
    EXPECT_TRUE(std::equal(row, row + kWidth * 3, reference.begin() + y * kWidth * 3)) << y;
    EXPECT_EQ(Bytes(row + kWidth * 3, row + kWidth * 3 + 5), Bytes(5, kUntouched)) << y;
  }
}

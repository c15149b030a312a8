#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKPixelRows.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using Converter = void (*)(uint8_t* dst, const uint8_t* src, uint64_t count);

// One row converter and, per destination byte, the source byte it takes (-1: 255).
struct Rule {
  Converter convert;
  uint32_t from, to;
  std::array<int, 4> take;
};

constexpr uint32_t RGB = IMKPixelFormatRGB, RGBA = IMKPixelFormatRGBA, BGR = IMKPixelFormatBGR,
                   BGRA = IMKPixelFormatBGRA, ARGB = IMKPixelFormatARGB;

const Rule kRules[] = {
    {IMKFImageConvertRGB2RGBA, RGB, RGBA, {0, 1, 2, -1}},  {IMKFImageConvertRGB2BGR, RGB, BGR, {2, 1, 0}},
    {IMKFImageConvertRGB2BGRA, RGB, BGRA, {2, 1, 0, -1}},  {IMKFImageConvertRGB2ARGB, RGB, ARGB, {-1, 0, 1, 2}},
    {IMKFImageConvertRGBA2RGB, RGBA, RGB, {0, 1, 2}},      {IMKFImageConvertRGBA2BGR, RGBA, BGR, {2, 1, 0}},
    {IMKFImageConvertRGBA2BGRA, RGBA, BGRA, {2, 1, 0, 3}}, {IMKFImageConvertRGBA2ARGB, RGBA, ARGB, {3, 0, 1, 2}},
    {IMKFImageConvertBGR2RGB, BGR, RGB, {2, 1, 0}},        {IMKFImageConvertBGR2RGBA, BGR, RGBA, {2, 1, 0, -1}},
    {IMKFImageConvertBGR2BGRA, BGR, BGRA, {0, 1, 2, -1}},  {IMKFImageConvertBGR2ARGB, BGR, ARGB, {-1, 2, 1, 0}},
    {IMKFImageConvertBGRA2RGB, BGRA, RGB, {2, 1, 0}},      {IMKFImageConvertBGRA2RGBA, BGRA, RGBA, {2, 1, 0, 3}},
    {IMKFImageConvertBGRA2BGR, BGRA, BGR, {0, 1, 2}},      {IMKFImageConvertBGRA2ARGB, BGRA, ARGB, {3, 2, 1, 0}},
    {IMKFImageConvertARGB2RGB, ARGB, RGB, {1, 2, 3}},      {IMKFImageConvertARGB2RGBA, ARGB, RGBA, {1, 2, 3, 0}},
    {IMKFImageConvertARGB2BGR, ARGB, BGR, {3, 2, 1}},      {IMKFImageConvertARGB2BGRA, ARGB, BGRA, {3, 2, 1, 0}},
};

Bytes pixels(uint64_t count, uint32_t format) {
  Bytes bytes(count * IMKFPixelSize(format));
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 37 + 11);
  return bytes;
}

Bytes byRule(const Bytes& src, const Rule& rule, uint64_t count) {
  const uint32_t from = IMKFPixelSize(rule.from), to = IMKFPixelSize(rule.to);
  Bytes dst(count * to);
  for (uint64_t p = 0; p < count; ++p)
    for (uint32_t b = 0; b < to; ++b) dst[p * to + b] = rule.take[b] < 0 ? 255 : src[p * from + rule.take[b]];
  return dst;
}

constexpr uint8_t kUntouched = 0xA5;

}  // namespace

TEST(ImageLength, ByFormatIn64Bits) {
  EXPECT_EQ(IMKFImageLength(5, 3, IMKPixelFormatJPEG), 45u);
  EXPECT_EQ(IMKFImageLength(5, 3, RGB), 45u);
  EXPECT_EQ(IMKFImageLength(5, 3, BGR), 45u);
  EXPECT_EQ(IMKFImageLength(5, 3, RGBA), 60u);
  EXPECT_EQ(IMKFImageLength(5, 3, BGRA), 60u);
  EXPECT_EQ(IMKFImageLength(5, 3, ARGB), 60u);
  EXPECT_EQ(IMKFImageLength(5, 3, 6), 0u);
  EXPECT_EQ(IMKFImageLength(70000, 70000, RGBA), 19600000000u);         // beyond 32 bits
  EXPECT_EQ(IMKFImageLength(UINT32_MAX, UINT32_MAX, RGB), UINT64_MAX);  // beyond 64 bits
}

// Every row converter against its per-pixel rule, on pixel counts that are odd and long enough to
// pass any vectorised body and its tail.
TEST(RowConverters, FollowTheirRuleOutOfPlace) {
  for (const Rule& rule : kRules)
    for (uint64_t count : {1u, 7u, 33u, 1001u}) {
      const Bytes src = pixels(count, rule.from);
      Bytes dst(count * IMKFPixelSize(rule.to) + 1, kUntouched);
      rule.convert(dst.data(), src.data(), count);
      EXPECT_EQ(dst.back(), kUntouched) << "wrote past " << count << " pixels";
      dst.pop_back();
      EXPECT_EQ(dst, byRule(src, rule, count)) << rule.from << "->" << rule.to << " count " << count;
    }
}

TEST(RowConverters, SameSizeOnesWorkInPlace) {
  for (const Rule& rule : kRules) {
    if (IMKFPixelSize(rule.from) != IMKFPixelSize(rule.to)) continue;
    for (uint64_t count : {1u, 7u, 1001u}) {
      Bytes image = pixels(count, rule.from);
      const Bytes expected = byRule(image, rule, count);
      rule.convert(image.data(), image.data(), count);
      EXPECT_EQ(image, expected) << rule.from << "->" << rule.to << " count " << count;
    }
  }
}

// The shuffles of each vector level the processor has, against the rule, on every count around
// their block sizes, apart and (same-size pairs) in place.
TEST(RowConverters, EveryVectorLevelFollowsTheRule) {
  for (IMKTVectorLevel level : {IMKTVectorLevel::scalar, IMKTVectorLevel::ssse3, IMKTVectorLevel::avx2}) {
    if (level > IMKFVectorLevel()) continue;
    for (const Rule& rule : kRules)
      for (uint64_t count = 0; count <= 40; ++count) {
        const Converter convert = IMKFRowConverterAt(rule.from, rule.to, level);
        const Bytes src = pixels(count, rule.from);
        const Bytes expected = byRule(src, rule, count);
        Bytes dst(count * IMKFPixelSize(rule.to) + 16, kUntouched);
        convert(dst.data(), src.data(), count);
        EXPECT_EQ(Bytes(dst.begin(), dst.begin() + expected.size()), expected)
            << "level " << int(level) << " " << rule.from << "->" << rule.to << " count " << count;
        EXPECT_EQ(Bytes(dst.begin() + expected.size(), dst.end()), Bytes(16, kUntouched)) << "wrote past the row";
        if (IMKFPixelSize(rule.from) != IMKFPixelSize(rule.to)) continue;
        Bytes image = src;
        convert(image.data(), image.data(), count);
        EXPECT_EQ(image, expected) << "in place, level " << int(level) << " count " << count;
      }
  }
}

TEST(RowConverters, KnownPixels) {
  const uint8_t rgb[3] = {10, 20, 30};
  uint8_t argb[4] = {};
  IMKFImageConvertRGB2ARGB(argb, rgb, 1);
  EXPECT_EQ(Bytes(argb, argb + 4), (Bytes{255, 10, 20, 30}));
  const uint8_t bgra[4] = {1, 2, 3, 4};
  IMKFImageConvertBGRA2ARGB(argb, bgra, 1);
  EXPECT_EQ(Bytes(argb, argb + 4), (Bytes{4, 3, 2, 1}));
}

TEST(ImageConvert, AppliesTheRowRuleOfEveryPair) {
  const uint32_t width = 7, height = 3;
  for (const Rule& rule : kRules) {
    const Bytes src = pixels(width * height, rule.from);
    Bytes dst(IMKFImageLength(width, height, rule.to));
    ASSERT_EQ(IMKFImageConvert(width, height, src.data(), src.size(), rule.from, dst.data(), dst.size(), rule.to), 0);
    EXPECT_EQ(dst, byRule(src, rule, width * height));
  }
}

TEST(ImageConvert, InPlaceGivesTheSameBytesAsApart) {
  for (auto [from, to] : {std::pair{BGR, RGB}, {RGBA, BGRA}, {ARGB, BGRA}}) {
    Bytes image = pixels(5 * 3, from), apart(image.size());
    ASSERT_EQ(IMKFImageConvert(5, 3, image.data(), image.size(), from, apart.data(), apart.size(), to), 0);
    ASSERT_EQ(IMKFImageConvert(5, 3, image.data(), image.size(), from, image.data(), image.size(), to), 0);
    EXPECT_EQ(image, apart);
  }
}

struct Refusal {
  const char* what;
  uint32_t srcFormat, dstFormat;
  uint64_t srcLength, dstLength;
  int result;
};

// A 3 x 2 image; nothing may be written when the call is refused.
TEST(ImageConvert, RefusesBeforeWriting) {
  const Refusal cases[] = {
      {"source format above 5", 6, RGB, 18, 18, 8},
      {"destination format above 5", RGB, 6, 18, 18, 8},
      {"raw source to JPEG", RGB, IMKPixelFormatJPEG, 18, 18, 8},
      {"JPEG to format above 5", IMKPixelFormatJPEG, 7, 18, 18, 8},
      {"destination one byte short", RGB, RGBA, 18, 23, 22},
      {"source one byte short", RGB, RGBA, 17, 24, 22},
      {"same format, destination shorter than the source", BGR, BGR, 18, 17, 22},
      {"same format, source shorter than the image", BGR, BGR, 17, 18, 22},
      {"JPEG copy into a shorter buffer", IMKPixelFormatJPEG, IMKPixelFormatJPEG, 18, 17, 22},
      {"JPEG decode into a buffer shorter than the image", IMKPixelFormatJPEG, RGB, 18, 17, 22},
  };
  for (const Refusal& refusal : cases) {
    const Bytes src(refusal.srcLength, 1);
    Bytes dst(refusal.dstLength, kUntouched);
    EXPECT_EQ(
        IMKFImageConvert(3, 2, src.data(), src.size(), refusal.srcFormat, dst.data(), dst.size(), refusal.dstFormat),
        refusal.result)
        << refusal.what;
    EXPECT_EQ(dst, Bytes(refusal.dstLength, kUntouched)) << refusal.what;
  }
}

TEST(ImageConvert, ExactLengthsAreEnough) {
  const Bytes src = pixels(6, BGRA);
  Bytes dst(IMKFImageLength(3, 2, ARGB));
  EXPECT_EQ(IMKFImageConvert(3, 2, src.data(), src.size(), BGRA, dst.data(), dst.size(), ARGB), 0);
  // A source longer than the image no longer makes a sufficient destination look too small.
  Bytes longer = src;
  longer.resize(src.size() + 8);
  EXPECT_EQ(IMKFImageConvert(3, 2, longer.data(), longer.size(), BGRA, dst.data(), dst.size(), ARGB), 0);
  EXPECT_EQ(IMKFImageConvert(3, 2, longer.data(), longer.size(), ARGB, dst.data(), dst.size(), RGBA), 0);
}

TEST(ImageConvert, CopiesSameFormatAndJPEGAsTheyAre) {
  const Bytes src = {1, 2, 3, 4, 5, 6, 7};
  Bytes dst(9, kUntouched);
  EXPECT_EQ(
      IMKFImageConvert(1, 1, src.data(), src.size(), IMKPixelFormatJPEG, dst.data(), dst.size(), IMKPixelFormatJPEG),
      0);
  EXPECT_EQ(dst, (Bytes{1, 2, 3, 4, 5, 6, 7, kUntouched, kUntouched}));
  Bytes rgb(6, 0);
  EXPECT_EQ(IMKFImageConvert(2, 1, src.data(), 6, RGB, rgb.data(), rgb.size(), RGB), 0);
  EXPECT_EQ(rgb, (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST(ImageConvert, EmptyImagesWriteNothing) {
  Bytes dst(4, kUntouched);
  EXPECT_EQ(IMKFImageConvert(0, 5, nullptr, 0, RGB, dst.data(), dst.size(), RGBA), 0);
  EXPECT_EQ(IMKFImageConvert(5, 0, nullptr, 0, RGBA, nullptr, 0, BGR), 0);
  EXPECT_EQ(dst, Bytes(4, kUntouched));
}

TEST(ImageConvert, HugeSizesAreRefusedNotWrapped) {
  // 65536 x 65536 x 3 wraps to 0 in 32 bits; in 64 bits it is far beyond the buffers given.
  Bytes src(16, 1), dst(16, kUntouched);
  EXPECT_EQ(IMKFImageConvert(65536, 65536, src.data(), src.size(), RGB, dst.data(), dst.size(), BGR), 22);
  EXPECT_EQ(IMKFImageConvert(65536, 65536, src.data(), src.size(), RGBA, dst.data(), dst.size(), BGRA), 22);
  EXPECT_EQ(dst, Bytes(16, kUntouched));
}

#include "framework/core/LLKBDecoder.h"
#include "framework/core/LLKBEncoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Point {
  float x, y;
};

TEST(Coders, StreamAndKeyedValuesReadBackFromTheArchive) {
  Ref<LLKBEncoder> encoder = LLKBEncoder::encoder();
  Point point{-5, 10};
  ASSERT_TRUE(encoder->encodeByte('P'));
  ASSERT_TRUE(encoder->encodeBuffer(&point, sizeof point));
  ASSERT_TRUE(encoder->encodeUint16(0xBEEF));
  ASSERT_TRUE(encoder->encodeUint32(0xA1B2C3D4));
  ASSERT_TRUE(encoder->encodeByte('S', "_size.type"));
  ASSERT_TRUE(encoder->encodeBuffer(&point, sizeof point, "size"));
  ASSERT_TRUE(encoder->encodeByte('R', "_size.type"));  // replaces
  std::vector<uint8_t> archive;
  ASSERT_TRUE(encoder->archive(archive));

  Ref<LLKBDecoder> decoder = LLKBDecoder::decoderWithArchive(archive.data(), archive.size());
  ASSERT_TRUE(decoder);
  uint8_t tag = 0;
  Point back{};
  uint16_t half = 0;
  uint32_t word = 0;
  EXPECT_TRUE(decoder->decodeByte(tag));
  EXPECT_EQ(tag, 'P');
  EXPECT_EQ(decoder->decodeBuffer(&back, sizeof back), sizeof back);
  EXPECT_EQ(back.x, -5);
  EXPECT_EQ(back.y, 10);
  EXPECT_TRUE(decoder->decodeUint16(half));
  EXPECT_EQ(half, 0xBEEF);
  EXPECT_TRUE(decoder->decodeUint32(word));
  EXPECT_EQ(word, 0xA1B2C3D4u);
  EXPECT_EQ(decoder->remaining(), 0u);
  EXPECT_FALSE(decoder->decodeByte(tag));

  EXPECT_TRUE(decoder->decodeByte(tag, "_size.type"));
  EXPECT_EQ(tag, 'R');
  Point keyed{};
  EXPECT_EQ(decoder->decodeBuffer(&keyed, sizeof keyed, "size"), sizeof keyed);
  EXPECT_EQ(keyed.x, -5);
  float single = 0;
  EXPECT_EQ(decoder->decodeBuffer(&single, sizeof single, "size"), 0u);  // not exactly that long
  EXPECT_FALSE(decoder->decodeByte(tag, "missing"));
}

TEST(Coders, ShortReadsFailAndConsumeNothing) {
  const uint8_t bytes[] = {1, 2, 3};
  Ref<LLKBDecoder> decoder = LLKBDecoder::decoderWithStream(bytes, sizeof bytes);
  uint32_t word = 0;
  EXPECT_FALSE(decoder->decodeUint32(word));
  uint8_t buffer[8];
  EXPECT_EQ(decoder->decodeBuffer(buffer, sizeof buffer), 0u);
  EXPECT_EQ(decoder->remaining(), 3u);
  uint16_t half = 0;
  EXPECT_TRUE(decoder->decodeUint16(half));
  EXPECT_EQ(half, 0x0201);
}

TEST(Coders, EveryTruncationOrStrayByteOfAnArchiveIsRefused) {
  Ref<LLKBEncoder> encoder = LLKBEncoder::encoder();
  encoder->encodeUint32(7);
  encoder->encodeByte(1, "a");
  encoder->encodeBuffer("xyz", 3, "b");
  std::vector<uint8_t> archive;
  ASSERT_TRUE(encoder->archive(archive));
  for (size_t cut = 0; cut < archive.size(); ++cut)
    EXPECT_FALSE(LLKBDecoder::decoderWithArchive(archive.data(), cut)) << cut;
  std::vector<uint8_t> longer = archive;
  longer.push_back(0);
  EXPECT_FALSE(LLKBDecoder::decoderWithArchive(longer.data(), longer.size()));
  std::vector<uint8_t> wrongMagic = archive;
  wrongMagic[0] = 'X';
  EXPECT_FALSE(LLKBDecoder::decoderWithArchive(wrongMagic.data(), wrongMagic.size()));
  // A length field pointing far past the end.
  std::vector<uint8_t> huge = archive;
  huge[4] = huge[5] = huge[6] = huge[7] = 0xFF;
  EXPECT_FALSE(LLKBDecoder::decoderWithArchive(huge.data(), huge.size()));
  EXPECT_FALSE(LLKBDecoder::decoderWithArchive(nullptr, 0));
}

TEST(Coders, ARepeatedKeyMakesTheArchiveMalformed) {
  const uint8_t twice[] = {'V', 'K', 'C', '1', 0, 0, 0, 0, 2, 0, 0, 0,  //
                           1,   0,   'k', 1,   0, 0, 0, 5,              //
                           1,   0,   'k', 1,   0, 0, 0, 6};
  EXPECT_FALSE(LLKBDecoder::decoderWithArchive(twice, sizeof twice));
  EXPECT_FALSE(LLKBEncoder::encoder()->encodeByte(1, ""));
}

}  // namespace

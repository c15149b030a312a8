#include "framework/core/LLKCGuid.h"
#include "framework/core/LLKFRandom.h"
#include "framework/core/LLKFUniqueString.h"
#include "framework/core/NRKFNumerics.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

TEST(GCD, MatchesTheFrameRateTable) {
  EXPECT_EQ(NRKFComputeGCD(32, 10), 2u);
  EXPECT_EQ(NRKFComputeGCD(50, 10), 10u);
  EXPECT_EQ(NRKFComputeGCD(16, 10), 2u);
  EXPECT_EQ(NRKFComputeGCD(0, 7), 7u);
  EXPECT_EQ(NRKFComputeGCD(7, 0), 7u);
  EXPECT_EQ(NRKFComputeGCD(17, 5), 1u);
}

TEST(Easing, EveryKindRunsFromZeroToOneAndReportsTheEnd) {
  for (uint32_t kind = 0; kind <= 6; ++kind) {
    float elapsed = 0;
    bool done = true;
    float previous = NRKFComputeEasingFactor(kind, 1.0f, &elapsed, 0.0f, &done);
    EXPECT_EQ(previous, 0.0f) << kind;
    EXPECT_FALSE(done);
    while (!done) {
      float now = NRKFComputeEasingFactor(kind, 1.0f, &elapsed, 0.1f, &done);
      EXPECT_GE(now, previous) << kind;  // never runs backwards
      previous = now;
    }
    EXPECT_EQ(previous, 1.0f) << kind;
    EXPECT_EQ(elapsed, 1.0f);  // clamped, never past the duration
  }
  float elapsed = 0.5f;
  bool done = false;
  EXPECT_EQ(NRKFComputeEasingFactor(3, 0.0f, &elapsed, 0.1f, &done), 1.0f);
  EXPECT_TRUE(done);
  EXPECT_EQ(NRKFComputeEasingFactor(0, 2.0f, nullptr, 1.0f, nullptr), 0.5f);
}

TEST(Random, ASeedRepeatsTheDrawsAndRangesHoldTheirBounds) {
  LLKFRandomSeed(42);
  std::vector<double> first;
  for (int i = 0; i < 8; ++i) first.push_back(LLKFRandomDraw());
  LLKFRandomSeed(42);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(LLKFRandomDraw(), first[i]);
  for (int i = 0; i < 1000; ++i) {
    double draw = LLKFRandomDraw();
    EXPECT_GE(draw, 0.0);
    EXPECT_LT(draw, 1.0);
    uint32_t ranged = LLKFRandomDrawWithRangeUint(9, 3);
    EXPECT_GE(ranged, 3u);
    EXPECT_LE(ranged, 9u);
  }
  EXPECT_EQ(LLKFRandomDrawWithRangeUint(5, 5), 5u);
  std::set<uint32_t> seen;
  for (int i = 0; i < 200; ++i) seen.insert(LLKFRandomDrawWithRangeUint(0, 3));
  EXPECT_EQ(seen.size(), 4u);
  LLKFRandomDrawWithRangeUint(0, UINT32_MAX);  // the full range must not overflow
}

TEST(Identity, GuidsAndUniqueStringsIgnoreTheSeed) {
  LLKFRandomSeed(1);
  Ref<LLKCGuid> a = LLKCGuid::guid();
  Ref<LLKCString> nameA = LLKFUniqueStringWithLength(13);
  LLKFRandomSeed(1);
  Ref<LLKCGuid> b = LLKCGuid::guid();
  Ref<LLKCString> nameB = LLKFUniqueStringWithLength(13);
  EXPECT_FALSE(a->isEqual(*b));
  EXPECT_NE(nameA->string(), nameB->string());
  EXPECT_EQ(nameA->length(), 13u);
  for (char c : nameA->string()) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)));
  EXPECT_FALSE(LLKFUniqueStringWithLength(0));
}

TEST(Identity, GuidTextReadsBackAndBadTextIsRefused) {
  Ref<LLKCGuid> guid = LLKCGuid::guid();
  std::string text = guid->string();
  ASSERT_EQ(text.size(), 36u);
  EXPECT_EQ(text[14], '4');
  Ref<LLKCGuid> back = LLKCGuid::guidWithString(text);
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->isEqual(*guid));
  EXPECT_EQ(back->hash(), guid->hash());
  for (const char* bad :
       {"", "not-a-guid", "0123456789abcdef0123456789abcdef0123", "01234567-89ab-cdef-0123-456789abcdeg"})
    EXPECT_FALSE(LLKCGuid::guidWithString(bad)) << bad;
}

}  // namespace

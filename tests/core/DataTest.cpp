#include "framework/core/LLKCData.h"
#include "framework/core/LLKCPointer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

TEST(Data, NewDataIsZeroFilledAndCopiesAreIndependent) {
  Ref<LLKCData> zeros = LLKCData::dataWithLength(16);
  ASSERT_TRUE(zeros);
  EXPECT_EQ(zeros->length(), 16u);
  for (size_t i = 0; i < zeros->length(); ++i) EXPECT_EQ(zeros->bytes()[i], 0);

  uint8_t source[3] = {1, 2, 3};
  Ref<LLKCData> copy = LLKCData::dataWithBytes(source, sizeof source);
  source[0] = 9;
  EXPECT_EQ(copy->bytes()[0], 1);
  EXPECT_TRUE(LLKCData::dataWithLength(0));
  EXPECT_FALSE(LLKCData::dataWithBytes(nullptr, 4));
}

TEST(Data, WrappedBlocksAreOwnedOnlyWhenAsked) {
  // Owned: freed with the data (the leak checker of the sanitizer build sees a mistake here).
  auto* owned = static_cast<uint8_t*>(std::malloc(8));
  Ref<LLKCData> data = LLKCData::dataWithBytesNoCopy(owned, 8);
  EXPECT_EQ(data->bytes(), owned);
  data.reset();

  uint8_t borrowed[4] = {};
  Ref<LLKCData> view = LLKCData::dataWithBytesNoCopy(borrowed, sizeof borrowed, false);
  view->bytes()[1] = 5;
  EXPECT_EQ(borrowed[1], 5);
}

TEST(Pointer, CarriesTheAddress) {
  int value = 0;
  EXPECT_EQ(LLKCPointer::pointerWithAddress(&value)->address(), &value);
}

}  // namespace

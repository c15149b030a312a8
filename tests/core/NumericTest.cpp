#include "framework/core/NRKCPolygon.h"
#include "framework/core/NRKCUintSeries.h"

#include <gtest/gtest.h>

namespace {

TEST(UintSeries, MaximumCoversOnlyTheMostRecentValues) {
  Ref<NRKCUintSeries> series = NRKCUintSeries::seriesWithCapacity(3);
  EXPECT_EQ(series->max(), 0u);
  for (uint64_t v : {9, 1, 2}) series->add(v);
  EXPECT_EQ(series->max(), 9u);
  series->add(4);  // 9 falls out
  EXPECT_EQ(series->max(), 4u);
  EXPECT_EQ(series->count(), 3u);
  EXPECT_FALSE(NRKCUintSeries::seriesWithCapacity(0));
}

TEST(Polygon, PointsAreZeroedOrCopied) {
  Ref<NRKCPolygon> empty = NRKCPolygon::polygonWithLength(2);
  EXPECT_EQ(empty->length(), 2u);
  EXPECT_EQ(empty->points()[1].y, 0.0f);
  const NRKTPoint square[] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}};
  Ref<NRKCPolygon> copy = NRKCPolygon::polygonWithLength(4, square);
  EXPECT_EQ(copy->points()[2].x, 1.0f);
  EXPECT_NE(copy->points(), square);
  EXPECT_FALSE(NRKCPolygon::polygonWithLength(3, nullptr));
  static_assert(sizeof(NRKTPoint) == 8);
}

}  // namespace

#include "imagekit/VSKFPolygon.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <algorithm>
#include <limits>

namespace {

using Outline = std::vector<cv::Point2f>;
using Outlines = std::vector<Outline>;

Outline box(float left, float top, float right, float bottom) {
  return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

float area(const Outline& outline) {
  double twice = 0;
  for (size_t i = 0; i + 1 < outline.size(); ++i)
    twice += double(outline[i].x) * outline[i + 1].y - double(outline[i + 1].x) * outline[i].y;
  return static_cast<float>(std::abs(twice) / 2);
}

int test(const Outline& outline, float x, float y) {
  const float point[2] = {x, y};
  return _VSKFPolygonTestPoint(reinterpret_cast<const float*>(outline.data()), static_cast<uint32_t>(outline.size()),
                               point);
}

}  // namespace

TEST(PolygonsUnion, NearOutlinesMergeFarOnesStayApart) {
  const struct {
    const char* what;
    Outlines input;
    size_t outlines;
  } cases[] = {
      {"sharing an edge", {box(0, 0, 10, 10), box(10, 0, 20, 10)}, 1},
      {"one unit apart", {box(0, 0, 10, 10), box(11, 0, 21, 10)}, 1},
      {"ten units apart", {box(0, 0, 10, 10), box(20, 0, 30, 10)}, 2},
  };
  for (const auto& c : cases) {
    Outlines result;
    ASSERT_TRUE(VSKFPolygonsUnion(c.input, result)) << c.what;
    ASSERT_EQ(result.size(), c.outlines) << c.what;
    for (const Outline& outline : result) {
      ASSERT_GE(outline.size(), 4u);
      EXPECT_EQ(outline.front(), outline.back()) << c.what;
    }
  }
}

TEST(PolygonsUnion, KeepsOnlyTheOuterOutlineOfARing) {
  const Outlines frame = {box(0, 0, 30, 10), box(0, 20, 30, 30), box(0, 10, 10, 20), box(20, 10, 30, 20)};
  Outlines result = {box(100, 100, 101, 101)};  // what the output held stays in front
  ASSERT_TRUE(VSKFPolygonsUnion(frame, result));
  ASSERT_EQ(result.size(), 2u);
  EXPECT_EQ(result[0], box(100, 100, 101, 101));
  // The outer 30 x 30 outline (its corners cut by the cleaning), the 10 x 10 hole not subtracted.
  EXPECT_GT(area(result[1]), 820);
  EXPECT_LE(area(result[1]), 900);
}

TEST(PolygonsUnion, RefusesEmptyAndUnusableInput) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float huge = 3e38f;
  const Outlines cases[] = {
      {},
      {Outline{}},
      {box(0, 0, 10, 10), Outline{{nan, 0}, {5, 5}, {0, 5}}},
      {Outline{{0, 0}, {huge, 0}, {huge, huge}}},
      {Outline{{0, 0}, {std::numeric_limits<float>::infinity(), 0}, {1, 1}}},
  };
  for (const Outlines& input : cases) {
    Outlines result;
    EXPECT_FALSE(VSKFPolygonsUnion(input, result)) << input.size();
    EXPECT_TRUE(result.empty());
  }
}

TEST(PolygonResample, GivesNPointsClosingOnTheFirst) {
  Outlines united;
  ASSERT_TRUE(VSKFPolygonsUnion({box(0, 0, 20, 20)}, united));
  ASSERT_EQ(united.size(), 1u);
  Outline resampled;
  ASSERT_TRUE(VSKFPolygonResample(united[0], 64, resampled));
  ASSERT_EQ(resampled.size(), 64u);
  EXPECT_EQ(resampled.front(), resampled.back());
  for (const cv::Point2f& p : resampled) {  // along the outline, within a unit of the square's sides
    const float toSide = std::min(std::min(p.x, 20 - p.x), std::min(p.y, 20 - p.y));
    EXPECT_TRUE(toSide >= 0 && toSide <= 1.5f) << p.x << "," << p.y;
  }
  Outline same;
  ASSERT_TRUE(VSKFPolygonResample(resampled, 64, same));
  EXPECT_EQ(same, resampled);
}

TEST(PolygonResample, RefusesWhatCannotBeResampled) {
  Outline kept = {{1, 1}};
  for (uint32_t n : {0u, 1u}) EXPECT_FALSE(VSKFPolygonResample(box(0, 0, 5, 5), n, kept)) << n;
  EXPECT_FALSE(VSKFPolygonResample({}, 64, kept));
  EXPECT_FALSE(VSKFPolygonResample({{0, 0}, {std::nanf(""), 1}}, 64, kept));
  EXPECT_FALSE(VSKFPolygonResample({{0, 0}, {1e20f, 1}}, 64, kept));
  EXPECT_EQ(kept, (Outline{{1, 1}}));
}

TEST(PolygonTestPoint, InsideOutsideAndBoundary) {
  const Outline square = box(0, 0, 10, 10);
  EXPECT_EQ(test(square, 5, 5), 1);
  EXPECT_EQ(test(square, 15, 5), 0);
  EXPECT_EQ(test(square, -1, 5), 0);
  EXPECT_EQ(test(square, 10.05f, 9.95f), -1) << "within 0.1 of a vertex";
  EXPECT_EQ(test(square, 4, 0), -1) << "on a horizontal edge";
  EXPECT_EQ(test(square, 0, 5), -1) << "on a vertical edge";
  EXPECT_EQ(test({}, 0, 0), 0);
  const float point[2] = {5, 5};
  EXPECT_EQ(_VSKFPolygonTestPoint(nullptr, 4, point), 0);
  EXPECT_TRUE(VSKFPolygonTestPoint(reinterpret_cast<const float*>(square.data()), 4, point));
  const float outside[2] = {50, 5}, edge[2] = {4, 0};
  EXPECT_FALSE(VSKFPolygonTestPoint(reinterpret_cast<const float*>(square.data()), 4, outside));
  EXPECT_TRUE(VSKFPolygonTestPoint(reinterpret_cast<const float*>(square.data()), 4, edge));
}

#include "imagekit/VSKFPolygon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

using Points = std::vector<NRKTPoint>;

Ref<NRKCPolygon> polygonOf(const Points& points) {
  return NRKCPolygon::polygonWithLength(static_cast<uint32_t>(points.size()), points.data());
}

Ref<NRKCPolygon> box(float left, float top, float right, float bottom) {
  return polygonOf({{left, top}, {right, top}, {right, bottom}, {left, bottom}});
}

Ref<LLKCObjectDeque> dequeOf(std::initializer_list<Ref<LLKBObject>> objects) {
  return LLKCObjectDeque::dequeWithObjects(objects);
}

Points pointsOf(const Ref<LLKBObject>& object) {
  const NRKCPolygon& polygon = dynamic_cast<const NRKCPolygon&>(*object);
  return Points(polygon.points(), polygon.points() + polygon.length());
}

bool same(NRKTPoint a, NRKTPoint b) { return a.x == b.x && a.y == b.y; }

float area(const Points& outline) {
  double twice = 0;
  for (size_t i = 0; i + 1 < outline.size(); ++i)
    twice += double(outline[i].x) * outline[i + 1].y - double(outline[i + 1].x) * outline[i].y;
  return static_cast<float>(std::abs(twice) / 2);
}

int test(const Points& outline, float x, float y) {
  return _VSKFPolygonTestPoint(outline.data(), static_cast<uint32_t>(outline.size()), NRKTPoint{x, y});
}

}  // namespace

TEST(PolygonsUnion, NearOutlinesMergeFarOnesStayApart) {
  const struct {
    const char* what;
    Ref<LLKCObjectDeque> input;
    size_t outlines;
  } cases[] = {
      {"sharing an edge", dequeOf({box(0, 0, 10, 10), box(10, 0, 20, 10)}), 1},
      {"one unit apart", dequeOf({box(0, 0, 10, 10), box(11, 0, 21, 10)}), 1},
      {"ten units apart", dequeOf({box(0, 0, 10, 10), box(20, 0, 30, 10)}), 2},
  };
  for (const auto& c : cases) {
    Ref<LLKCObjectDeque> result = LLKCObjectDeque::deque();
    ASSERT_TRUE(VSKFPolygonsUnion(c.input.get(), result.get())) << c.what;
    ASSERT_EQ(result->count(), c.outlines) << c.what;
    for (const Ref<LLKBObject>& object : *result) {
      const Points outline = pointsOf(object);
      ASSERT_GE(outline.size(), 4u);
      EXPECT_TRUE(same(outline.front(), outline.back())) << c.what;
    }
  }
}

TEST(PolygonsUnion, KeepsOnlyTheOuterOutlineOfARingAfterWhatTheOutputHeld) {
  Ref<LLKCObjectDeque> frame =
      dequeOf({box(0, 0, 30, 10), box(0, 20, 30, 30), box(0, 10, 10, 20), box(20, 10, 30, 20)});
  Ref<NRKCPolygon> held = box(100, 100, 101, 101);
  Ref<LLKCObjectDeque> result = dequeOf({held});
  ASSERT_TRUE(VSKFPolygonsUnion(frame.get(), result.get()));
  ASSERT_EQ(result->count(), 2u);
  EXPECT_EQ(result->fetchAtIndex(0).get(), held.get());
  // The outer 30 x 30 outline (its corners cut by the cleaning), the 10 x 10 hole not subtracted.
  const float outer = area(pointsOf(result->fetchAtIndex(1)));
  EXPECT_GT(outer, 820);
  EXPECT_LE(outer, 900);
}

TEST(PolygonsUnion, RefusesEmptyAndUnusableInput) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), huge = 3e38f;
  const float infinity = std::numeric_limits<float>::infinity();
  const Ref<LLKCObjectDeque> cases[] = {
      LLKCObjectDeque::deque(),
      dequeOf({polygonOf({})}),
      dequeOf({box(0, 0, 10, 10), polygonOf({{nan, 0}, {5, 5}, {0, 5}})}),
      dequeOf({polygonOf({{0, 0}, {huge, 0}, {huge, huge}})}),
      dequeOf({polygonOf({{0, 0}, {infinity, 0}, {1, 1}})}),
      dequeOf({box(0, 0, 10, 10), LLKCObjectDeque::deque()}),  // an entry that is no polygon
  };
  for (const Ref<LLKCObjectDeque>& input : cases) {
    Ref<LLKCObjectDeque> result = LLKCObjectDeque::deque();
    EXPECT_FALSE(VSKFPolygonsUnion(input.get(), result.get())) << input->count();
    EXPECT_EQ(result->count(), 0u);
  }
  EXPECT_FALSE(VSKFPolygonsUnion(nullptr, LLKCObjectDeque::deque().get()));
}

TEST(PolygonResample, GivesNPointsClosingOnTheFirst) {
  Ref<LLKCObjectDeque> united = LLKCObjectDeque::deque();
  ASSERT_TRUE(VSKFPolygonsUnion(dequeOf({box(0, 0, 20, 20)}).get(), united.get()));
  ASSERT_EQ(united->count(), 1u);
  Ref<NRKCPolygon> resampled = VSKFPolygonResample(united->fetchAtIndexAs<NRKCPolygon>(0), 64);
  ASSERT_TRUE(resampled);
  const Points points = pointsOf(resampled);
  ASSERT_EQ(points.size(), 64u);
  EXPECT_TRUE(same(points.front(), points.back()));
  for (const NRKTPoint& p : points) {  // along the outline, within a unit of the square's sides
    const float toSide = std::min(std::min(p.x, 20 - p.x), std::min(p.y, 20 - p.y));
    EXPECT_TRUE(toSide >= 0 && toSide <= 1.5f) << p.x << "," << p.y;
  }
  EXPECT_EQ(VSKFPolygonResample(resampled, 64).get(), resampled.get());  // the same object
}

TEST(PolygonResample, RefusesWhatCannotBeResampled) {
  for (uint32_t n : {0u, 1u}) EXPECT_FALSE(VSKFPolygonResample(box(0, 0, 5, 5), n)) << n;
  EXPECT_FALSE(VSKFPolygonResample(polygonOf({}), 64));
  EXPECT_FALSE(VSKFPolygonResample(polygonOf({{0, 0}, {std::nanf(""), 1}}), 64));
  EXPECT_FALSE(VSKFPolygonResample(polygonOf({{0, 0}, {1e20f, 1}}), 64));
  EXPECT_FALSE(VSKFPolygonResample(nullptr, 64));
}

TEST(PolygonTestPoint, InsideOutsideAndBoundary) {
  const Points square = pointsOf(box(0, 0, 10, 10));
  EXPECT_EQ(test(square, 5, 5), 1);
  EXPECT_EQ(test(square, 15, 5), 0);
  EXPECT_EQ(test(square, -1, 5), 0);
  EXPECT_EQ(test(square, 10.05f, 9.95f), -1) << "within 0.1 of a vertex";
  EXPECT_EQ(test(square, 4, 0), -1) << "on a horizontal edge";
  EXPECT_EQ(test(square, 0, 5), -1) << "on a vertical edge";
  EXPECT_EQ(test({}, 0, 0), 0);
  EXPECT_EQ(_VSKFPolygonTestPoint(nullptr, 4, NRKTPoint{5, 5}), 0);
  EXPECT_TRUE(VSKFPolygonTestPoint(square.data(), 4, NRKTPoint{5, 5}));
  EXPECT_FALSE(VSKFPolygonTestPoint(square.data(), 4, NRKTPoint{50, 5}));
  EXPECT_TRUE(VSKFPolygonTestPoint(square.data(), 4, NRKTPoint{4, 0}));
}

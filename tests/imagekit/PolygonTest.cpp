#include "imagekit/VSKFPolygon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
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
  return VSKFPolygonLocatePoint(outline.data(), static_cast<uint32_t>(outline.size()), NRKTPoint{x, y});
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

// Outlines a file may carry that would keep Clipper busy for seconds to minutes: each is united
// as its tamed form, or refused, with a note that says which.
TEST(PolygonsUnion, CraftedOutlinesAreTamedOrRefusedWithANote) {
  auto star = [](uint32_t n) {
    Points points;
    const uint64_t k = n / 2 - 1;
    for (uint32_t i = 0; i <= n; ++i) {
      const double angle = 2 * M_PI * double((uint64_t(i) * k) % n) / n;
      points.push_back({float(500 + 490 * std::cos(angle)), float(500 + 490 * std::sin(angle))});
    }
    return polygonOf(points);
  };
  // A lattice of 300 thin bars each way: each bar simple, together 360 000 crossings.
  Ref<LLKCObjectDeque> lattice = LLKCObjectDeque::deque();
  for (float i = 0; i < 300; ++i) {
    (void)lattice->append(box(0, 2 * i, 600, 2 * i + 1));
    (void)lattice->append(box(2 * i, 0, 2 * i + 1, 600));
  }
  Ref<LLKCObjectDeque> rings = LLKCObjectDeque::deque();
  for (float r = 500; r <= 1e6f; r += 500) {
    Points ring;
    for (int i = 0; i < 64; ++i)
      ring.push_back({float(r * std::cos(i * M_PI / 32)), float(r * std::sin(i * M_PI / 32))});
    (void)rings->append(polygonOf(ring));
  }
  Ref<LLKCObjectDeque> grid = LLKCObjectDeque::deque();
  for (float y = 0; y < 1080; y += 16)
    for (float x = 0; x < 1920; x += 16) (void)grid->append(box(x, y, x + 16, y + 16));
  const struct {
    const char* what;
    Ref<LLKCObjectDeque> input;
    bool united;
    const char* note;  // a part of the note; "" for none
  } cases[] = {
      {"a star of 2 001 points", dequeOf({star(2001)}), true, "1 outline crossing itself taken as its hull"},
      {"a star of 20 001 points", dequeOf({star(20001)}), true,
       "1 outline of more than 4096 points resampled to that many, 1 outline crossing"},
      {"a star beside a square", dequeOf({box(0, 0, 10, 10), star(501)}), true, "1 outline crossing itself"},
      {"a lattice of bars", lattice, false, "cross one another too often"},
      {"2 000 rings one inside the other", rings, false, "lie stacked on one another"},
      {"8 100 squares of a grid", grid, true, ""},
  };
  for (const auto& c : cases) {
    Ref<LLKCObjectDeque> result = LLKCObjectDeque::deque();
    std::string note = "not emptied";
    EXPECT_EQ(VSKFPolygonsUnion(c.input.get(), result.get(), &note), c.united) << c.what;
    EXPECT_EQ(note.empty(), !*c.note) << c.what << ": " << note;
    EXPECT_NE(note.find(c.note), std::string::npos) << c.what << ": " << note;
    if (!c.united) {
      EXPECT_EQ(result->count(), 0u) << c.what;
    }
  }
  // The star stands for its hull: one outline around the disc its points lie on.
  Ref<LLKCObjectDeque> result = LLKCObjectDeque::deque();
  ASSERT_TRUE(VSKFPolygonsUnion(dequeOf({star(2001)}).get(), result.get()));
  ASSERT_EQ(result->count(), 1u);
  EXPECT_NEAR(area(pointsOf(result->fetchAtIndex(0))), M_PI * 490 * 490, 0.01 * M_PI * 490 * 490);
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
  EXPECT_EQ(VSKFPolygonLocatePoint(nullptr, 4, NRKTPoint{5, 5}), 0);
  EXPECT_TRUE(VSKFPolygonTestPoint(square.data(), 4, NRKTPoint{5, 5}));
  EXPECT_FALSE(VSKFPolygonTestPoint(square.data(), 4, NRKTPoint{50, 5}));
  EXPECT_TRUE(VSKFPolygonTestPoint(square.data(), 4, NRKTPoint{4, 0}));
}

// The scanline fill gives exactly the pixels the point test takes (inside or on the boundary),
// whatever the outline: corners on pixels and between them, horizontal edges on a row, vertices
// within the test's tolerance of a pixel, crossing edges, parts beyond the box, and random ones.
TEST(PolygonFill, FillsExactlyThePixelsThePointTestTakes) {
  constexpr uint32_t kLeft = 2, kTop = 1, kRight = 37, kBottom = 28;
  std::vector<Points> outlines = {
      {{4, 3}, {20, 3}, {20, 15}, {4, 15}},
      {{3.5f, 2.25f}, {30.75f, 9.5f}, {11.2f, 27.9f}},
      {{20, 1}, {26, 27}, {5, 9}, {35, 9}, {14, 27}},                     // a star: its edges cross
      {{6, 5}, {6.05f, 5.04f}, {25, 5}, {25, 20}, {12.93f, 20.07f}},      // vertices a hair off pixels
      {{-30, -10}, {60, 14}, {-5, 40}},                                   // mostly beyond the box
      {{10, 10}, {30, 10}, {30, 10.05f}, {10, 10.08f}},                   // a sliver along one row
      {{5, 25}, {8, 2}, {11, 25}, {14, 2}, {17, 25}, {20, 2}, {23, 25}},  // a zigzag across the rows
  };
  std::mt19937 random(44);
  std::uniform_real_distribution<float> coordinate(-4.0f, 44.0f);
  std::uniform_int_distribution<int> length(3, 40);
  for (int n = 0; n < 300; ++n) {
    Points outline(size_t(length(random)));
    // Half of them on a grid of halves, where pixels meet edges and vertices exactly.
    for (NRKTPoint& point : outline)
      point = n % 2 ? NRKTPoint{coordinate(random), coordinate(random)}
                    : NRKTPoint{std::round(coordinate(random) * 2) / 2, std::round(coordinate(random) * 2) / 2};
    outlines.push_back(std::move(outline));
  }
  for (size_t i = 0; i < outlines.size(); ++i) {
    const Points& outline = outlines[i];
    std::vector<int> filled((kRight + 1) * (kBottom + 1), 0);
    VSKFPolygonFillRows(outline.data(), outline.size(), kLeft, kTop, kRight, kBottom,
                        [&](uint32_t y, uint32_t from, uint32_t to) {
                          ASSERT_TRUE(y >= kTop && y <= kBottom && from >= kLeft && from <= to && to <= kRight);
                          for (uint32_t x = from; x <= to; ++x) filled[y * (kRight + 1) + x] = 1;
                        });
    int wrong = 0;
    for (uint32_t y = 0; y <= kBottom; ++y)
      for (uint32_t x = 0; x <= kRight; ++x) {
        const bool inBox = x >= kLeft && y >= kTop;
        const bool taken =
            inBox && VSKFPolygonTestPoint(outline.data(), uint32_t(outline.size()), {float(x), float(y)});
        wrong += filled[y * (kRight + 1) + x] != int(taken);
      }
    EXPECT_EQ(wrong, 0) << "outline " << i;
  }
}

// The COCO mapping, rendering and object outlines on samples made by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <nlohmann/json.hpp>

#include "framework/substrate/MRKCNumber.h"
#include "imagekit/VSKFPolygon.h"
#include "tests/samples/SampleTestKit.h"
#include "tests/vision/VisionTestKit.h"

namespace {

using json = nlohmann::ordered_json;

// A rows x cols grid of side x side squares, each its own superpixel, with the annotations.
Ref<VSKCImageSample> gridSample(int rows, int cols, int16_t side, const json& coco, int64_t offsetY = 0) {
  std::vector<Ref<MRKBTerm>> entries;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const int16_t left = int16_t(c * side), top = int16_t(r * side), right = int16_t(left + side - 1),
                    bottom = int16_t(top + side - 1);
      entries.push_back(superpixelFrame({int16_t(r * cols + c),
                                         int16_t(left + side / 2),
                                         int16_t(top + side / 2),
                                         int16_t(40 * c),
                                         int16_t(40 * r),
                                         200,
                                         left,
                                         top,
                                         right,
                                         bottom,
                                         {left, top, right, top, right, bottom, left, bottom, left, top},
                                         {1.0f}}));
    }
  }
  Ref<MRKCFrame> frame = MRKFJSONDecodeFrame(coco, 0);
  return VSKCImageSample::sampleFromStatement(
      segmentedStatement(uint64_t(rows), uint64_t(cols), uint64_t(side), std::move(entries), 0, offsetY, frame.get())
          .get(),
      "grid", 0);
}

// 32-bit entries, entry i holding label i % 200 + 1.
Ref<LLKCData> labels(size_t count) {
  std::vector<uint32_t> table(count);
  for (size_t i = 0; i < count; ++i) table[i] = uint32_t(i % 200 + 1);
  return LLKCData::dataWithBytes(table.data(), count * sizeof(uint32_t));
}

json rectangle(double left, double top, double right, double bottom) {
  return json::array({left, top, right, top, right, bottom, left, bottom});
}

json group(uint32_t ctid, json polygons, double area) {
  return json::array({json{{"ctid", ctid}, {"poly", std::move(polygons)}, {"area", area}}});
}

std::vector<uint32_t> masks(const VSKCImageSample& sample) {
  std::vector<uint32_t> found;
  for (const VSKTSuperpixel& record : sample.superpixels()) found.push_back(record.mask);
  return found;
}

// A 2 x 2 grid of 16-pixel squares, centroids (8, 8), (24, 8), (8, 24), (24, 24).
TEST(SampleCoco, MapsGroupsOntoTheSuperpixelsTheyCover) {
  json left = rectangle(0, 0, 15, 31);
  const struct {
    const char* name;
    json coco;
    std::vector<uint8_t> objects;
    std::vector<uint32_t> masks;
  } cases[] = {
      {"one group, two annotations: ctid of the first",
       json{{"a", json::array({json{{"ctid", 5}, {"poly", json::array({left})}, {"area", 500}},
                               json{{"ctid", 9}, {"poly", json::array({rectangle(16, 0, 31, 15)})}, {"area", 500}}})}},
       {6},
       {1, 1, 1, 0}},
      {"an area of 256 at step 16 is skipped, 256.5 is taken",
       json{{"a", group(1, json::array({left}), 256)}, {"b", group(2, json::array({left}), 256.5)}},
       {3},
       {1, 0, 1, 0}},
      {"an unknown category takes no slot; the next group reuses bit 0",
       json{{"a", group(90, json::array({left}), 500)}, {"b", group(3, json::array({rectangle(16, 16, 31, 31)}), 500)}},
       {4},
       {0, 0, 0, 1}},
      {"a group that covers no centroid takes no slot",
       json{{"a", group(1, json::array({rectangle(40, 40, 50, 50)}), 500)}, {"b", group(2, json::array({left}), 500)}},
       {3},
       {1, 0, 1, 0}},
      {"a centroid on an edge is covered",
       json{{"a", group(7, json::array({rectangle(8, 8, 20, 20)}), 500)}},
       {8},
       {1, 0, 0, 0}},
      {"masks add up: a superpixel in two objects",
       json{{"a", group(1, json::array({left}), 500)}, {"b", group(2, json::array({rectangle(0, 0, 31, 15)}), 500)}},
       {2, 3},
       {3, 2, 1, 0}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    Ref<VSKCImageSample> sample = gridSample(2, 2, 16, test.coco);
    ASSERT_TRUE(sample);
    sample->processCocoDataWithLabels(labels(80).get());
    EXPECT_EQ(std::vector<uint8_t>(sample->objects().begin(), sample->objects().begin() + test.objects.size()),
              test.objects);
    EXPECT_EQ(sample->labeled(), test.objects.size());
    EXPECT_EQ(masks(*sample), test.masks);
  }
}

// Annotations without an "area", or with one too small to cover a superpixel, stay unmapped; one
// line per sample says which were skipped and why, naming each by its group and place.
TEST(SampleCoco, AnnotationsSkippedForTheirAreaAreSaidOnce) {
  json bottomLeft = rectangle(0, 16, 15, 31), topRight = rectangle(16, 0, 31, 15);
  json coco{{"a", json::array({json{{"ctid", 1}, {"poly", json::array({topRight})}},
                               json{{"ctid", 1}, {"poly", json::array({bottomLeft})}, {"area", 500}}})},
            {"b", json::array({json{{"ctid", 2}, {"poly", json::array({topRight})}, {"area", 100}},
                               json{{"ctid", 2}, {"poly", json::array({topRight})}, {"area", "large"}}})},
            {"c", json::array({json{{"ctid", 3}, {"poly", json::array({topRight})}}})}};
  Ref<VSKCImageSample> sample = gridSample(2, 2, 16, coco);
  ASSERT_TRUE(sample);
  OutputCapture log;
  sample->processCocoDataWithLabels(labels(8).get());
  EXPECT_EQ(masks(*sample), (std::vector<uint32_t>{0, 0, 1, 0}));
  EXPECT_EQ(sample->labeled(), 1u);
  ASSERT_EQ(log.lines().size(), 1u) << (log.lines().empty() ? "nothing logged" : log.lines().back());
  EXPECT_EQ(log.lines().front(),
            "VSKCImageSample - grid: 4 annotations skipped, without \"area\": \"a\"[0], \"c\"[0]; with an \"area\" "
            "that is not a number: \"b\"[1]; with an \"area\" not above 256 (the superpixel size squared): \"b\"[0]");
  // Many are named up to ten of a kind, the rest counted.
  json many = json::array();
  for (int i = 0; i < 12; ++i) many.push_back(json{{"ctid", 1}, {"poly", json::array({topRight})}});
  Ref<VSKCImageSample> crowded = gridSample(2, 2, 16, json{{"m", many}});
  ASSERT_TRUE(crowded);
  OutputCapture again;
  crowded->processCocoDataWithLabels(labels(8).get());
  ASSERT_EQ(again.lines().size(), 1u);
  EXPECT_NE(again.lines().front().find("12 annotations skipped, without \"area\": \"m\"[0], "), std::string::npos);
  EXPECT_NE(again.lines().front().find("\"m\"[9] and 2 more"), std::string::npos) << again.lines().front();
}

// Outlines are mapped wherever they lie: only a value that is not finite is refused.
TEST(SampleCoco, PolygonsFarOutsideTheImageAreMapped) {
  const struct {
    const char* name;
    json polygon;
    std::vector<uint32_t> masks;
  } cases[] = {
      {"a huge triangle over the whole grid", json::array({-1e30, -1e30, 1e30, -1e30, -1e30, 1e30}), {1, 1, 1, 1}},
      {"a square reaching far beyond the right and bottom", rectangle(16, 16, 1000, 1000), {0, 0, 0, 1}},
      {"a square reaching far beyond the left and top", rectangle(-1000, -1000, 15, 15), {1, 0, 0, 0}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    Ref<VSKCImageSample> sample = gridSample(2, 2, 16, json{{"g", group(1, json::array({test.polygon}), 500)}});
    ASSERT_TRUE(sample);
    OutputCapture log;
    sample->processCocoDataWithLabels(labels(8).get());
    EXPECT_EQ(masks(*sample), test.masks);
    EXPECT_EQ(sample->labeled(), 1u);
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();
  }
}

// The limit of an outline's numbers: 4093 taken, 4094 and 4095 refused with the point count.
TEST(SampleCoco, PolygonSizeLimitIsAt4093Values) {
  const struct {
    size_t values;
    bool taken;
    const char* line;
  } cases[] = {{4093, true, nullptr},
               {4094, false, "polygon too large! 2047 (grid)"},
               {4095, false, "polygon too large! 2047 (grid)"}};
  for (const auto& test : cases) {
    SCOPED_TRACE(test.values);
    // A square over the first superpixel whose last corner repeats to fill the count.
    json polygon = rectangle(0, 0, 15, 15);
    while (polygon.size() < test.values) polygon.push_back(polygon.size() % 2 ? 15 : 0);
    Ref<VSKCImageSample> sample = gridSample(2, 2, 16, json{{"g", group(1, json::array({polygon}), 500)}});
    ASSERT_TRUE(sample);
    OutputCapture log;
    sample->processCocoDataWithLabels(labels(8).get());
    EXPECT_EQ(sample->labeled(), test.taken ? 1u : 0u);
    if (test.line) EXPECT_TRUE(log.saw(test.line)) << (log.lines().empty() ? "nothing logged" : log.lines().front());
    else EXPECT_TRUE(log.lines().empty());
  }
}

TEST(SampleCoco, OnlyTheFirst32GroupsCount) {
  json coco = json::object();
  for (int g = 0; g < 40; ++g)
    coco["g" + std::to_string(g)] = group(uint32_t(g), json::array({rectangle(0, 0, 15, 15)}), 500);
  Ref<VSKCImageSample> sample = gridSample(2, 2, 16, coco);
  ASSERT_TRUE(sample);
  sample->processCocoDataWithLabels(labels(80).get());
  EXPECT_EQ(sample->labeled(), 32u);
  EXPECT_EQ(sample->objects()[31], 32);
  EXPECT_EQ(sample->superpixels()[0].mask, 0xFFFFFFFFu);
  // The 32nd object's outlines come back like the others'.
  Ref<LLKCObjectDeque> outlines = sample->polygonsForObject(32);
  ASSERT_TRUE(outlines);
  EXPECT_EQ(outlines->count(), 1u);
}

TEST(SampleCoco, OffsetMovesTheAnnotations) {
  // (10, 20) is tested as (10, 100): the square of rows 96 to 111.
  Ref<VSKCImageSample> sample =
      gridSample(8, 1, 16, json{{"a", group(1, json::array({rectangle(2, 14, 14, 26)}), 500)}}, 80);
  ASSERT_TRUE(sample);
  sample->processCocoDataWithLabels(labels(8).get());
  EXPECT_EQ(masks(*sample), (std::vector<uint32_t>{0, 0, 0, 0, 0, 0, 1, 0}));
}

TEST(SampleCoco, MalformedAnnotationsAreSkippedWithALogLine) {
  // 4098 numbers are too many; 4093 (a square whose last corner repeats, and a trailing odd value
  // that is ignored) are the most taken.
  json large = json::array(), largest = rectangle(0, 0, 15, 15);
  for (int i = 0; i < 4098; ++i) large.push_back(i % 7);
  while (largest.size() < 4092) largest.push_back(largest.size() % 2 ? 15 : 0);
  const struct {
    const char* name;
    json group;
    const char* line;
  } cases[] = {
      {"a group that is not a list", json{{"ctid", 1}},
       "VSKCImageSample - grid: annotation group \"g\" is not a list, skipped"},
      {"an annotation that is not an object",
       json::array({json{{"ctid", 1}, {"poly", json::array({rectangle(0, 0, 15, 15)})}, {"area", 500}}, 5}),
       "VSKCImageSample - grid: an annotation of \"g\" is not an object, skipped"},
      {"poly that is not a list", group(1, 12, 500),
       "VSKCImageSample - grid: \"poly\" of \"g\" is not a list, skipped"},
      {"a polygon that is not a list", group(1, json::array({7}), 500),
       "VSKCImageSample - grid: a polygon of \"g\" is not a list, skipped"},
      {"a coordinate that is a word", group(1, json::array({json::array({0, 0, "x", 0})}), 500),
       "VSKCImageSample - grid: a polygon of \"g\" has a coordinate that is not a number, skipped"},
      {"a coordinate beyond what a float holds", group(1, json::array({json::array({0, 0, 1e39, 0, 0, 1e39})}), 500),
       "VSKCImageSample - grid: a polygon of \"g\" has a coordinate that is not finite, skipped"},
      {"too many coordinates", group(1, json::array({large}), 500), "polygon too large! 2049 (grid)"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    Ref<VSKCImageSample> sample = gridSample(2, 2, 16, json{{"g", test.group}});
    ASSERT_TRUE(sample);
    OutputCapture log;
    sample->processCocoDataWithLabels(labels(8).get());
    EXPECT_TRUE(log.saw(test.line)) << (log.lines().empty() ? "nothing logged" : log.lines().front());
  }
  // Numbers that are not finite cannot come from JSON, but can from a processor's terms.
  Ref<VSKCImageSample> sample =
      gridSample(2, 2, 16, json{{"g", group(1, json::array({rectangle(0, 0, 15, 15)}), 500)}});
  ASSERT_TRUE(sample);
  MRKCList* polygon =
      asList(asList(MRKFFrameFetchTerm(asFrame(asList(sample->coco()->fetchForLabel("g"))->fetchAtIndex(0)), "poly"))
                 ->fetchAtIndex(0));
  ASSERT_TRUE(polygon);
  ASSERT_TRUE(polygon->store(MRKCNumber::numberWithReal(NAN).get(), 2));
  OutputCapture log;
  sample->processCocoDataWithLabels(labels(8).get());
  EXPECT_TRUE(log.saw("VSKCImageSample - grid: a polygon of \"g\" has a coordinate that is not finite, skipped"));
  EXPECT_EQ(sample->labeled(), 0u);
  // The largest polygon taken: 4093 numbers.
  largest.push_back(15);
  Ref<VSKCImageSample> big = gridSample(2, 2, 16, json{{"g", group(1, json::array({largest}), 500)}});
  ASSERT_TRUE(big);
  big->processCocoDataWithLabels(labels(8).get());
  EXPECT_EQ(big->labeled(), 1u);
}

TEST(SampleRender, PaintsMeanColoursOnWhiteWithinTheBitmap) {
  Ref<VSKCImageSample> sample = gridSample(2, 2, 16, json::object());
  ASSERT_TRUE(sample);
  auto& records = sample->superpixels();
  const float colours[4][3] = {{0.5f, 0, 0}, {1, 1, 1}, {0, 1, 0}, {0, 0, 1}};
  for (int i = 0; i < 4; ++i) std::copy(colours[i], colours[i] + 3, records[size_t(i)].colour);
  records[3].points.clear();  // no outline: paints nothing
  // A box far beyond the bitmap (as a file may carry) is clamped to it.
  records[2].bbox[2] = 1e9f;
  records[2].bbox[3] = 1e9f;
  std::vector<uint8_t> rgba(size_t(24) * 20 * 4, 0);
  sample->render(rgba.data(), 24, 20);
  auto pixel = [&](int x, int y) {
    const uint8_t* at = &rgba[(size_t(y) * 24 + size_t(x)) * 4];
    return std::vector<int>{at[0], at[1], at[2], at[3]};
  };
  EXPECT_EQ(pixel(3, 3), (std::vector<int>{127, 0, 0, 255}));
  EXPECT_EQ(pixel(20, 3), (std::vector<int>{255, 255, 255, 255}));  // white is left out
  EXPECT_EQ(pixel(3, 18), (std::vector<int>{0, 255, 0, 255}));
  EXPECT_EQ(pixel(20, 18), (std::vector<int>{255, 255, 255, 255}));
}

// A legal sample crafted to cost: 20 outlines of 8 194 points, each a zigzag spanning the image
// from top to bottom 4 097 times. Drawing it costs its pixels plus its edges (it once tested every
// pixel against every edge of its row, minutes of work); what it draws is what the point test
// says: each pixel takes the colour of the last outline that holds it, else stays white.
TEST(SampleRender, ZigzagOutlinesSpanningTheImageDrawAsThePointTestSays) {
  constexpr int kWidth = 640, kHeight = 480, kOutlines = 20, kPoints = 8194;
  std::vector<Ref<MRKBTerm>> entries;
  std::vector<std::vector<NRKTPoint>> outlines;
  for (int r = 0; r < kOutlines; ++r) {
    std::vector<int16_t> polygon;
    std::vector<NRKTPoint> outline;
    for (int i = 0; i < kPoints; ++i) {
      const auto x = int16_t((i * (kWidth - 1) + r * 97) / (kPoints - 1) % kWidth);
      const auto y = int16_t(i % 2 ? kHeight - 1 - r : r);
      polygon.insert(polygon.end(), {x, y});
      outline.push_back({float(x), float(y)});
    }
    entries.push_back(superpixelFrame({int16_t(r), 320, 240, int16_t(10 * r), int16_t(200 - 5 * r), 40, 0, 0,
                                       kWidth - 1, kHeight - 1, std::move(polygon), {1.0f}}));
    outlines.push_back(std::move(outline));
  }
  Ref<VSKCImageSample> sample = VSKCImageSample::sampleFromStatement(
      segmentedStatement(4, 5, 32, std::move(entries)).get(), "zigzags", 0);
  ASSERT_TRUE(sample);
  std::vector<uint8_t> rgba(size_t(kWidth) * kHeight * 4, 0);
  sample->render(rgba.data(), kWidth, kHeight);
  std::mt19937 random(44);
  int painted = 0;
  for (int n = 0; n < 400; ++n) {
    const int x = int(random() % kWidth), y = int(random() % kHeight);
    std::vector<int> expected = {255, 255, 255, 255};
    for (int r = kOutlines - 1; r >= 0; --r)
      if (VSKFPolygonTestPoint(outlines[size_t(r)].data(), kPoints, {float(x), float(y)})) {
        const float* colour = sample->superpixels()[size_t(r)].colour;  // components as bytes, truncated
        expected = {int(double(colour[0]) * 255), int(double(colour[1]) * 255), int(double(colour[2]) * 255), 255};
        ++painted;
        break;
      }
    const uint8_t* at = &rgba[(size_t(y) * kWidth + size_t(x)) * 4];
    EXPECT_EQ((std::vector<int>{at[0], at[1], at[2], at[3]}), expected) << x << ", " << y;
  }
  EXPECT_GT(painted, 40) << "the zigzags cover a good part of the image";
}

TEST(SampleObjects, OutlinesOfOneObject) {
  Ref<VSKCImageSample> sample =
      gridSample(2, 2, 16, json{{"a", group(1, json::array({rectangle(0, 0, 15, 31)}), 500)}});
  ASSERT_TRUE(sample);
  for (uint32_t n : {0u, 1u, 33u}) {
    Ref<LLKCObjectDeque> none = sample->polygonsForObject(n);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->count(), 0u) << n;
  }
  sample->processCocoDataWithLabels(labels(8).get());
  Ref<LLKCObjectDeque> outlines = sample->polygonsForObject(1);
  ASSERT_TRUE(outlines);
  ASSERT_EQ(outlines->count(), 2u);
  Ref<NRKCPolygon> first = outlines->fetchAtIndexAs<NRKCPolygon>(0);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->length(), 5u);
  EXPECT_EQ(first->points()[2].x, 15.0f);
}

}  // namespace

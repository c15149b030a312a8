// Samples made from segmented image statements; clone and reset.
#include <gtest/gtest.h>

#include "imagekit/IMKFColor.h"
#include "tests/samples/SampleTestKit.h"
#include "tests/vision/VisionTestKit.h"

namespace {

HandSuperpixel square(int16_t id, int16_t left, int16_t top, int16_t side) {
  const int16_t right = int16_t(left + side - 1), bottom = int16_t(top + side - 1);
  return {id,
          int16_t(left + side / 2),
          int16_t(top + side / 2),
          10,
          20,
          30,
          left,
          top,
          right,
          bottom,
          {left, top, right, top, right, bottom, left, bottom, left, top},
          {0.5f, 0.5f}};
}

TEST(SampleFromStatement, TakesEachRecordAsTheSegmenterPublishedIt) {
  HandSuperpixel odd = square(1, 4, 0, 4);
  odd.polygon = {1, 2, 3, 4, 5, 6, 7, 8, 9};  // the ninth value is no point
  Ref<MRKCStatement> statement =
      segmentedStatement(1, 2, 4, {superpixelFrame(square(0, 0, 0, 4)), superpixelFrame(odd)}, 3, -2);
  Ref<VSKCImageSample> sample = VSKCImageSample::sampleFromStatement(statement.get(), "s1", 70000);
  ASSERT_TRUE(sample);
  EXPECT_EQ(sample->name(), "s1");
  EXPECT_EQ(sample->feed(), 70000u);
  EXPECT_EQ(sample->offset().x, 3.0f);
  EXPECT_EQ(sample->offset().y, -2.0f);
  ASSERT_EQ(sample->superpixelCount(), 2u);
  const VSKTSuperpixel& first = sample->superpixels()[0];
  // blue 10, green 20, red 30
  EXPECT_EQ(first.colour[0], 30 / 255.0f);
  EXPECT_EQ(first.colour[1], 20 / 255.0f);
  EXPECT_EQ(first.colour[2], 10 / 255.0f);
  EXPECT_EQ(first.colour[3], 1.0f);
  float lab[3];
  IMKFColorRgb2Lab(30, 20, 10, lab);
  EXPECT_EQ(std::vector<float>(first.lab, first.lab + 3), std::vector<float>(lab, lab + 3));
  EXPECT_EQ(std::vector<float>(first.bbox, first.bbox + 4), (std::vector<float>{0, 0, 3, 3}));
  EXPECT_EQ(first.centroid[0], 2.0f);
  EXPECT_EQ(first.pointCount(), 5u);
  EXPECT_EQ(sample->superpixels()[1].pointCount(), 4u);
  EXPECT_EQ(sample->superpixels()[1].points[3].y, 8.0f);
}

TEST(SampleFromStatement, EntriesWithoutDataStayEmptyAndShortGridsAreSaid) {
  std::vector<Ref<MRKBTerm>> entries;
  for (int16_t i = 0; i < 1270; ++i) entries.push_back(superpixelFrame(square(i, 0, 0, 2)));
  MRKCFrame* eighth = asFrame(entries[7].get());
  eighth->remove("pattern");
  entries[9] = nullptr;  // a skipped superpixel's empty slot
  OutputCapture log;
  Ref<VSKCImageSample> sample =
      VSKCImageSample::sampleFromStatement(segmentedStatement(31, 41, 16, std::move(entries)).get(), "short", 0);
  ASSERT_TRUE(sample);
  EXPECT_EQ(sample->superpixelCount(), 1270u);
  EXPECT_TRUE(log.saw("missing 1270 SP for short"));
  EXPECT_TRUE(log.saw("sp 7 is empty"));
  EXPECT_TRUE(log.saw("sp 9 is empty"));
  EXPECT_EQ(sample->superpixels()[7], VSKTSuperpixel{});
  EXPECT_EQ(sample->superpixels()[7].id, kVSKEmptySuperpixel);
  EXPECT_EQ(sample->superpixels()[8].id, 8u);  // the records after keep their places
  EXPECT_EQ(sample->superpixels()[10].id, 10u);
}

TEST(SampleFromStatement, NoSampleWithoutGridOrName) {
  OutputCapture log;  // the grids are not filled
  EXPECT_FALSE(VSKCImageSample::sampleFromStatement(segmentedStatement(0, 2, 4, {}).get(), "n", 0));
  EXPECT_FALSE(VSKCImageSample::sampleFromStatement(segmentedStatement(2, 2, 0, {}).get(), "n", 0));
  EXPECT_FALSE(VSKCImageSample::sampleFromStatement(segmentedStatement(1, 1, 4, {}).get(), "", 0));
  EXPECT_FALSE(VSKCImageSample::sampleFromStatement(nullptr, "n", 0));
}

TEST(SampleFromStatement, CloneAndReset) {
  Ref<VSKCImageSample> sample = VSKCImageSample::sampleFromStatement(
      segmentedStatement(1, 2, 4, {superpixelFrame(square(0, 0, 0, 4)), superpixelFrame(square(1, 4, 0, 4))}).get(),
      "original", 9);
  ASSERT_TRUE(sample);
  sample->objects()[0] = 4;
  sample->objects()[1] = 2;
  sample->objects()[2] = 5;
  sample->superpixels()[0].mask = 1;
  sample->superpixels()[1].mask = 6;
  sample->setTouched(true);

  Ref<VSKCImageSample> copy = sample->clone();
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->name().size(), 16u);
  EXPECT_EQ(copy->labeled(), 0u);
  EXPECT_FALSE(copy->touched());
  EXPECT_EQ(copy->feed(), 9u);
  EXPECT_EQ(copy->superpixels(), sample->superpixels());
  const std::vector<VSKTSuperpixel> kept = sample->superpixels();
  sample.reset();  // the clone's outlines and patterns are its own
  EXPECT_EQ(copy->superpixels(), kept);

  Ref<VSKCImageSample> other = copy->clone();
  other->objects()[0] = 1;
  other->objects()[31] = 3;
  other->setTouched(true);
  other->reset();
  EXPECT_EQ(other->labeled(), 0u);
  EXPECT_EQ(other->superpixels()[1].mask, 0u);
  EXPECT_TRUE(other->touched());
}

}  // namespace

// One computing thread's work on records the seams did not make: superpixels that hold no pixel
// or whose box outgrows the patch are left out; the rest are described whatever the range.
#include <gtest/gtest.h>

#include "modules/vision/segmenter/QAVCGRIDSegmenterDescriber.h"
#include "tests/vision_segmenter/SegmenterTestKit.h"

namespace {

class DescriberTest : public ::testing::Test {
protected:
  void SetUp() override {
    cv::RNG(3).fill(image, cv::RNG::UNIFORM, 0, 256);
    count = seams.process(image, 8, 8, 0.06f);
    ASSERT_GT(count, 4u);
    spixels.resize(count);
    cv::Mat paint(image.size(), CV_8UC3);
    ASSERT_TRUE(seams.display(image, paint, std::span<GridSeams::spixel_t>(spixels)));
    slots.resize(count);
    config.spixsize = 8;
  }

  QAVTGRIDSegmenterJob job() { return {&image, &seams, spixels.data(), count, slots.data(), config}; }

  cv::Mat image = cv::Mat(24, 40, CV_8UC3);
  GridSeams seams;
  uint32_t count = 0;
  std::vector<GridSeams::spixel_t> spixels;
  std::vector<Ref<MRKBTerm>> slots;
  QAVTGRIDSegmenterConfig config;
  QAVCGRIDSegmenterDescriber describer;
};

TEST_F(DescriberTest, SkipsEmptyAndOversizedSuperpixels) {
  OutputCapture console(OutputCapture::kConsole);
  spixels[1].count = 0;
  spixels[2].xmax = spixels[2].xmin + 24;   // 25 columns: more than 3 × 8
  describer.describe(job(), 0, count + 5);  // a range past the end is clipped
  EXPECT_FALSE(slots[1]);
  EXPECT_FALSE(slots[2]);
  const int height = spixels[2].ymax - spixels[2].ymin + 1;
  EXPECT_TRUE(console.saw("QAVCGRIDSegmenter - supixel2 size 25x" + std::to_string(height) + ", expected max 24x24"));
  for (uint32_t label = 0; label < count; ++label)
    EXPECT_EQ(slots[label] && slots[label]->asFrame(), label != 1 && label != 2) << label;
}

TEST_F(DescriberTest, RangesDescribeOnlyTheirOwnLabels) {
  describer.describe(job(), 2, 4);
  for (uint32_t label = 0; label < count; ++label) EXPECT_EQ(bool(slots[label]), label == 2 || label == 3) << label;
}

}  // namespace

// Grid seams on images whose seams are known by construction, and on refused inputs.
#include "modules/vision/seams/GridSeams.h"

#include "tests/support/OutputCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

const cv::Vec3b kA{200, 40, 10};
const cv::Vec3b kB{30, 120, 221};
constexpr int kWidth = 64, kHeight = 32, kStep = 16;
constexpr float kStay = 0.06f;

cv::Mat paintedBy(const std::function<cv::Vec3b(int x, int y)>& colourAt) {
  cv::Mat image(kHeight, kWidth, CV_8UC3);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) image.at<cv::Vec3b>(y, x) = colourAt(x, y);
  return image;
}

struct Expected {
  int label, xmin, xmax, ymin, ymax;
  unsigned count;
  float cx, cy;
  float colour[3];
};

// On these images the seams are straight lines, fixed by the edges and the cell middles.
struct StraightCase {
  std::string name;
  cv::Mat image;
  std::vector<int> seamColumns;
  std::vector<int> seamRows;
  std::vector<Expected> records;
};

std::vector<StraightCase> straightCases() {
  const float mixed[3] = {(8 * 200 + 30) / 9.0f, (8 * 40 + 120) / 9.0f, (8 * 10 + 221) / 9.0f};
  return {
      // One colour: every seam runs through its cell's middle (i × 16 + 7).
      {"uniform",
       paintedBy([](int, int) { return kA; }),
       {7, 23, 39, 55},
       {7, 23},
       {{0, 0, 7, 0, 7, 64, 3.5f, 3.5f, {200, 40, 10}}, {14, 56, 63, 24, 31, 64, 59.5f, 27.5f, {200, 40, 10}}}},
      // A vertical edge between columns 25 and 26 draws the second seam onto column 25.
      {"vertical edge",
       paintedBy([](int x, int) { return x < 26 ? kA : kB; }),
       {7, 25, 39, 55},
       {7, 23},
       {{1, 8, 25, 0, 7, 144, 16.5f, 3.5f, {200, 40, 10}}, {7, 26, 39, 8, 23, 224, 32.5f, 15.5f, {30, 120, 221}}}},
      // A horizontal edge between rows 9 and 10 draws the first horizontal seam onto row 9.
      {"horizontal edge",
       paintedBy([](int, int y) { return y < 10 ? kA : kB; }),
       {7, 23, 39, 55},
       {9, 23},
       {{0, 0, 7, 0, 9, 80, 3.5f, 4.5f, {200, 40, 10}}, {5, 0, 7, 10, 23, 112, 3.5f, 16.5f, {30, 120, 221}}}},
      // Stripes 16 wide put their edges on the forbidden last columns of the cells (15, 31,
      // 47); the seams take the column after each instead.
      {"stripes",
       paintedBy([](int x, int) { return (x / 16) % 2 ? kB : kA; }),
       {7, 16, 32, 48},
       {7, 23},
       {{1, 8, 16, 0, 7, 72, 12.0f, 3.5f, {mixed[0], mixed[1], mixed[2]}},
        {4, 49, 63, 0, 7, 120, 56.0f, 3.5f, {30, 120, 221}}}},
  };
}

void PrintTo(const StraightCase& c, std::ostream* os) { *os << c.name; }

int countBelow(const std::vector<int>& positions, int value) {
  int n = 0;
  for (int p : positions) n += p < value;
  return n;
}

class StraightSeams : public testing::TestWithParam<StraightCase> {};

TEST_P(StraightSeams, SeamsLabelsAndRecordsAreExact) {
  const StraightCase& c = GetParam();
  GridSeams seams;
  ASSERT_EQ(seams.process(c.image, kStep, kStep, kStay), 15u);
  EXPECT_EQ(seams.cellsX(), 4);
  EXPECT_EQ(seams.cellsY(), 2);

  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const bool onColumn = countBelow(c.seamColumns, x + 1) != countBelow(c.seamColumns, x);
      const bool onRow = countBelow(c.seamRows, y + 1) != countBelow(c.seamRows, y);
      ASSERT_EQ(seams.verticalSeams().at<uchar>(y, x), onColumn ? 255 : 0) << x << "," << y;
      ASSERT_EQ(seams.horizontalSeams().at<uchar>(y, x), onRow ? 255 : 0) << x << "," << y;
      ASSERT_EQ(seams.seams().at<uchar>(y, x), onColumn || onRow ? 255 : 0);
      // A seam pixel belongs to the region before it.
      const int label = 5 * countBelow(c.seamRows, y) + countBelow(c.seamColumns, x);
      ASSERT_EQ(seams.labels().at<std::uint16_t>(y, x), label) << x << "," << y;
    }

  std::vector<GridSeams::spixel_t> records(15);
  cv::Mat paint(c.image.size(), CV_8UC3, cv::Scalar::all(7));
  ASSERT_TRUE(seams.display(c.image, paint, records));
  for (const Expected& e : c.records) {
    SCOPED_TRACE(e.label);
    const GridSeams::spixel_t& r = records[size_t(e.label)];
    EXPECT_EQ(r.xmin, e.xmin);
    EXPECT_EQ(r.xmax, e.xmax);
    EXPECT_EQ(r.ymin, e.ymin);
    EXPECT_EQ(r.ymax, e.ymax);
    EXPECT_EQ(r.count, e.count);
    EXPECT_FLOAT_EQ(r.centre[0], e.cx);
    EXPECT_FLOAT_EQ(r.centre[1], e.cy);
    for (int ch = 0; ch < 3; ++ch) EXPECT_FLOAT_EQ(r.colour[ch], e.colour[ch]);
    const cv::Vec3b painted = paint.at<cv::Vec3b>(e.ymin, e.xmin);
    for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(painted[ch], cvRound(r.colour[ch]));
  }
}

INSTANTIATE_TEST_SUITE_P(Images, StraightSeams, testing::ValuesIn(straightCases()),
                         [](const testing::TestParamInfo<StraightCase>& param) {
                           std::string name = param.param.name;
                           for (char& ch : name)
                             if (ch == ' ') ch = '_';
                           return name;
                         });


TEST(GridSeamsInput, RefusedInputsAnswerNoLabelsAndLeaveNothingBehind) {
  const cv::Mat good(kHeight, kWidth, CV_8UC3, cv::Scalar(1, 2, 3));
  std::vector<std::uint16_t> small(size_t(kWidth * kHeight - 1));
  struct Case {
    const char* name;
    cv::Mat image;
    int stepX, stepY;
    float stay;
    std::span<std::uint16_t> buffer;
  } cases[] = {
      {"empty image", cv::Mat(), 16, 16, kStay, {}},
      {"one channel", cv::Mat(kHeight, kWidth, CV_8UC1, cv::Scalar(9)), 16, 16, kStay, {}},
      {"four channels", cv::Mat(kHeight, kWidth, CV_8UC4, cv::Scalar::all(9)), 16, 16, kStay, {}},
      {"16-bit channels", cv::Mat(kHeight, kWidth, CV_16UC3, cv::Scalar::all(9)), 16, 16, kStay, {}},
      {"step 1 (no cell middle)", good, 1, 16, kStay, {}},
      {"step 0", good, 16, 0, kStay, {}},
      {"negative step", good, -16, 16, kStay, {}},
      {"stay not a number", good, 16, 16, std::nanf(""), {}},
      {"infinite stay", good, 16, 16, INFINITY, {}},
      {"negative stay", good, 16, 16, -1.0f, {}},
      {"label buffer too small", good, 16, 16, kStay, small},
      // (600 / 2 + 1)² = 90601 labels would wrap 16-bit ids.
      {"more labels than 16 bits", cv::Mat(600, 600, CV_8UC3, cv::Scalar::all(5)), 2, 2, kStay, {}},
  };
  OutputCapture log;
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    GridSeams seams;
    ASSERT_EQ(seams.process(good, 16, 16, kStay), 15u);  // a previous image must not linger
    const size_t logged = log.size();
    EXPECT_EQ(seams.process(c.image, c.stepX, c.stepY, c.stay, c.buffer), 0u);
    EXPECT_EQ(log.size() - logged, c.image.empty() ? 0u : 1u);  // a refusal says why
    EXPECT_TRUE(seams.labels().empty());
    EXPECT_TRUE(seams.seams().empty());
    EXPECT_TRUE(seams.verticalSeams().empty());
    cv::Mat paint(good.size(), CV_8UC3);
    std::vector<GridSeams::spixel_t> records(15);
    EXPECT_FALSE(seams.display(good, paint, records));
    EXPECT_FALSE(seams.display(good, paint, true));
    cv::Mat patch(48, 48, CV_8UC1);
    EXPECT_FALSE(seams.extract(good, patch, patch, GridSeams::spixel_t{0, 3, 3, 0, {}, {}, 16}, 0));
  }
}

TEST(GridSeamsInput, TheLargestLatticeThatSixteenBitsHoldIsLabelled) {
  EXPECT_EQ(GridSeams::superpixels(511, 511, 2, 2), 65536u);
  EXPECT_EQ(GridSeams::superpixels(512, 511, 2, 2), 257u * 256u);
  EXPECT_EQ(GridSeams::superpixels(640, 480, 16, 16), 41u * 31u);
  EXPECT_EQ(GridSeams::superpixels(640, 480, 0, 16), 0u);
  EXPECT_EQ(GridSeams::superpixels(1 << 30, 1 << 30, 1, 1), UINT32_MAX);

  const cv::Mat image(511, 511, CV_8UC3, cv::Scalar(10, 20, 30));
  GridSeams seams;
  ASSERT_EQ(seams.process(image, 2, 2, kStay), 65536u);
  EXPECT_EQ(seams.labels().at<std::uint16_t>(510, 510), 65535);
  std::vector<GridSeams::spixel_t> records(65536);
  cv::Mat paint(image.size(), CV_8UC3);
  ASSERT_TRUE(seams.display(image, paint, records));
  EXPECT_EQ(records[65535].count, 4u);  // columns and rows 509..510
  OutputCapture log;
  EXPECT_EQ(seams.process(cv::Mat(512, 511, CV_8UC3, cv::Scalar::all(1)), 2, 2, kStay), 0u);
}

TEST(GridSeamsLabels, GoStraightIntoTheCallersBuffer) {
  const cv::Mat image(kHeight, kWidth, CV_8UC3, cv::Scalar(1, 2, 3));
  std::vector<std::uint16_t> buffer(size_t(kWidth * kHeight) + 5, 0xBEEF);
  GridSeams seams;
  ASSERT_EQ(seams.process(image, kStep, kStep, kStay, buffer), 15u);
  EXPECT_EQ(seams.labels().ptr<std::uint16_t>(0), buffer.data());
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[size_t(kWidth * kHeight) - 1], 14);
  EXPECT_EQ(buffer[size_t(kWidth * kHeight)], 0xBEEF);  // nothing past the image

  // Without a buffer the next image gets labels of its own; the caller's stay as they were.
  const std::vector<std::uint16_t> before = buffer;
  ASSERT_EQ(seams.process(image, 8, 8, kStay), 45u);
  EXPECT_NE(seams.labels().ptr<std::uint16_t>(0), buffer.data());
  EXPECT_EQ(buffer, before);
}

TEST(GridSeamsMeasures, EmptySuperpixelsKeepZeroMeansAndAreNotExtracted) {
  const cv::Mat image(kHeight, kWidth, CV_8UC3, cv::Scalar(9, 8, 7));
  GridSeams seams;
  ASSERT_EQ(seams.process(image, kStep, kStep, kStay), 15u);
  std::vector<GridSeams::spixel_t> records(20);  // five more than there are labels
  cv::Mat paint(image.size(), CV_8UC3);
  ASSERT_TRUE(seams.display(image, paint, records));
  for (size_t i = 15; i < records.size(); ++i) {
    EXPECT_EQ(records[i].count, 0u);
    EXPECT_EQ(records[i].centre[0], 0.0f);
    EXPECT_EQ(records[i].centre[1], 0.0f);
    for (float channel : records[i].colour) EXPECT_EQ(channel, 0.0f);
    cv::Mat mask(48, 48, CV_8UC1), grey(48, 48, CV_8UC1);
    OutputCapture log;
    EXPECT_FALSE(seams.extract(image, mask, grey, records[i], unsigned(i)));
  }
}

TEST(GridSeamsMeasures, LabelsBeyondTheRecordsAreNeitherMeasuredNorPainted) {
  const cv::Mat image(kHeight, kWidth, CV_8UC3, cv::Scalar(9, 8, 7));
  GridSeams seams;
  ASSERT_EQ(seams.process(image, kStep, kStep, kStay), 15u);
  std::vector<GridSeams::spixel_t> records(10);
  cv::Mat paint(image.size(), CV_8UC3, cv::Scalar::all(0));
  OutputCapture log;
  ASSERT_TRUE(seams.display(image, paint, records));
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log.lines()[0], "out of range label! 14 vs 10");
  EXPECT_EQ(paint.at<cv::Vec3b>(0, 0), cv::Vec3b(9, 8, 7));    // label 0
  EXPECT_EQ(paint.at<cv::Vec3b>(31, 63), cv::Vec3b(0, 0, 0));  // label 14
  unsigned measured = 0;
  for (const auto& r : records) measured += r.count;
  EXPECT_EQ(measured, 24u * 64);  // rows 0..23 carry labels 0..9
}

TEST(GridSeamsMeasures, ExtractRefusesPatchesSmallerThanTheBox) {
  const cv::Mat image(kHeight, kWidth, CV_8UC3, cv::Scalar(9, 8, 7));
  GridSeams seams;
  ASSERT_EQ(seams.process(image, kStep, kStep, kStay), 15u);
  std::vector<GridSeams::spixel_t> records(15);
  cv::Mat paint(image.size(), CV_8UC3);
  ASSERT_TRUE(seams.display(image, paint, records));
  const GridSeams::spixel_t& r = records[6];  // 16 × 16
  OutputCapture log;
  cv::Mat fits(16, 16, CV_8UC1, cv::Scalar(0)), grey(16, 16, CV_8UC1);
  cv::Mat narrow(16, 15, CV_8UC1), wrongType(16, 16, CV_16UC1);
  EXPECT_TRUE(seams.extract(image, fits, grey, r, 6));
  EXPECT_EQ(cv::countNonZero(fits), 256);
  EXPECT_FALSE(seams.extract(image, narrow, grey, r, 6));
  EXPECT_FALSE(seams.extract(image, fits, wrongType, r, 6));
  GridSeams::spixel_t outside = r;
  outside.xmax = kWidth;
  EXPECT_FALSE(seams.extract(image, fits, grey, outside, 6));
  EXPECT_FALSE(seams.extract(image(cv::Rect(0, 0, 32, 32)), fits, grey, r, 6));
}

}  // namespace

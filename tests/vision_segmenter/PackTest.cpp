// The forms a superpixel travels in: its record, its pattern histogram and its polygon.
#include <gtest/gtest.h>

#include "modules/vision/segmenter/QAVFGRIDSegmenterPack.h"

namespace {

std::vector<int16_t> fieldsOf(const Ref<MRKCData>& data) {
  const auto* fields = static_cast<const int16_t*>(data->buffer());
  return {fields, fields + data->count()};
}

TEST(SegmenterPack, RecordTruncatesMeansAndKeepsTheBox) {
  GridSeams::spixel_t spixel{10, 25, 15, 0, {17.9f, 7.5f}, {10.7f, 20.2f, 30.9f}, 256};
  Ref<MRKCData> data = QAVFGRIDSegmenterSupixelToData(spixel, 42);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->format(), kMRKDataSint16);
  EXPECT_EQ(data->bytes().size(), 24u);
  const int16_t grey = int16_t((0.299 * 30.9f + 0.587 * 20.2f + 0.114 * 10.7f) / 3.0);
  EXPECT_EQ(fieldsOf(data), (std::vector<int16_t>{42, 17, 7, 256, grey, 10, 20, 30, 10, 0, 25, 15}));
}

TEST(SegmenterPack, RecordCountBeyondSixteenBitsSaturates) {
  GridSeams::spixel_t spixel{0, 299, 299, 0, {150, 150}, {1, 2, 3}, 90000};
  EXPECT_EQ(fieldsOf(QAVFGRIDSegmenterSupixelToData(spixel, 0))[kQAVSupixelCount], 32767);
}

TEST(SegmenterPack, PolygonIsSixteenBitPairs) {
  std::vector<cv::Point> points(32, cv::Point(3, -4));
  Ref<MRKCData> data = QAVFGRIDSegmenterPolygonToData(points.data(), 32);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->count(), 64u);
  EXPECT_EQ(data->bytes().size(), 128u);
  EXPECT_EQ(fieldsOf(data)[0], 3);
  EXPECT_EQ(fieldsOf(data)[1], -4);
}

TEST(SegmenterPack, PatternIsANormalisedHistogramOfTheMaskedCodes) {
  cv::Mat mask = (cv::Mat_<uchar>(2, 3) << 255, 255, 0, 255, 255, 255);
  cv::Mat codes = (cv::Mat_<uchar>(2, 3) << 0, 63, 200, 64, 255, 191);
  // 4 bins of 255 / 4 = 63 codes: 0 → 0, 63 → 1, 64 → 1, 191 → 3, 255 → min(4, 3) = 3; 200 is masked out.
  std::vector<float> bins(4, 0.0f);
  ASSERT_TRUE(QAVFGRIDSegmenterComputePattern(mask, codes, bins.data(), 4));
  EXPECT_EQ(bins, (std::vector<float>{0.2f, 0.4f, 0.0f, 0.4f}));

  std::vector<float> untouched(4, 0.0f);
  ASSERT_TRUE(QAVFGRIDSegmenterComputePattern(cv::Mat::zeros(2, 3, CV_8UC1), codes, untouched.data(), 4));
  EXPECT_EQ(untouched, std::vector<float>(4, 0.0f));
}

TEST(SegmenterPack, PatternRefusesBinCountsThatWouldDivideByZero) {
  cv::Mat mask(2, 2, CV_8UC1, cv::Scalar(255)), codes(2, 2, CV_8UC1, cv::Scalar(7));
  std::vector<float> bins(300, 0.0f);
  EXPECT_FALSE(QAVFGRIDSegmenterComputePattern(mask, codes, bins.data(), 0));
  EXPECT_FALSE(QAVFGRIDSegmenterComputePattern(mask, codes, bins.data(), 256));
  EXPECT_FALSE(QAVFGRIDSegmenterComputePattern(mask, cv::Mat(2, 3, CV_8UC1), bins.data(), 4));
  ASSERT_TRUE(QAVFGRIDSegmenterComputePattern(mask, codes, bins.data(), 255));
  EXPECT_EQ(bins[7], 1.0f);
}

}  // namespace

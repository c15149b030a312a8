#include "modules/vision/algorithms/frame/CVKCFrame.h"

#include <gtest/gtest.h>

#include <cstring>

#include <opencv2/imgproc.hpp>

namespace {

struct FormatCase {
  int format;
  int type;
  unsigned long matrixBytes;  // of a 4 × 3 frame
  size_t bufferBytes;
  int reported;
};

TEST(CVKCFrameTest, FormatCodesMakeTheirMatrixAndBuffer) {
  const FormatCase cases[] = {
      {1, CV_8UC3, 36, 36, 1},
      {2, CV_8UC4, 48, 48, 2},
      {3, CV_8UC1, 12, 36, 0},  // grey keeps a colour-sized buffer and reports format 0
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.format);
    Ref<CVKCFrame> frame = CVKCFrame::frameWithWidth(4, 3, c.format);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->mat()->type(), c.type);
    EXPECT_EQ(frame->width(), 4u);
    EXPECT_EQ(frame->height(), 3u);
    EXPECT_EQ(frame->length(), c.matrixBytes);
    EXPECT_EQ(frame->data()->length(), c.bufferBytes);
    EXPECT_EQ(frame->bytes(), frame->data()->bytes());
    EXPECT_EQ(frame->format(), c.reported);
  }
  for (int format : {0, 4, -1}) EXPECT_FALSE(CVKCFrame::frameWithWidth(4, 3, format)) << format;
}

TEST(CVKCFrameTest, RefusesSizesThatDoNotFit) {
  EXPECT_FALSE(CVKCFrame::frameWithWidth(0x80000000u, 1, 1));
  EXPECT_FALSE(CVKCFrame::frameWithWidth(0xFFFFFFFFu, 0xFFFFFFFFu, 2));
}

TEST(CVKCFrameTest, AFrameOverDataChecksItsLength) {
  Ref<LLKCData> shortData = LLKCData::dataWithLength(2 * 2 * 3 - 1);
  EXPECT_FALSE(CVKCFrame::frameWithWidth(2, 2, 1, shortData));
  EXPECT_FALSE(CVKCFrame::frameWithWidth(2, 2, 1, nullptr));

  Ref<LLKCData> data = LLKCData::dataWithLength(2 * 2 * 4);
  Ref<CVKCFrame> frame = CVKCFrame::frameWithWidth(2, 2, 2, data);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->data(), data);
  frame->mat()->at<cv::Vec4b>(1, 1) = {1, 2, 3, 4};
  EXPECT_EQ(data->bytes()[12], 1);  // the matrix writes into the caller's buffer
}

TEST(CVKCFrameTest, FrameWithMatCopiesEightBitColourOnly) {
  EXPECT_FALSE(CVKCFrame::frameWithMat(cv::Mat(2, 2, CV_8UC1)));
  EXPECT_FALSE(CVKCFrame::frameWithMat(cv::Mat(2, 2, CV_16UC3)));

  cv::Mat source(3, 2, CV_8UC4);
  cv::randu(source, 0, 255);
  Ref<CVKCFrame> frame = CVKCFrame::frameWithMat(source);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->format(), 2);
  ASSERT_EQ(frame->length(), 24u);
  EXPECT_EQ(std::memcmp(frame->bytes(), source.data, 24), 0);
  EXPECT_NE(frame->bytes(), source.data);
}

TEST(CVKCFrameTest, FrameWithMatCopiesAViewRowByRow) {
  cv::Mat whole(6, 8, CV_8UC3);
  cv::randu(whole, 0, 255);
  const cv::Mat view = whole(cv::Rect(2, 1, 4, 3));
  ASSERT_FALSE(view.isContinuous());
  Ref<CVKCFrame> frame = CVKCFrame::frameWithMat(view);
  ASSERT_TRUE(frame);
  EXPECT_EQ(cv::norm(*frame->mat(), view, cv::NORM_INF), 0.0);
}

TEST(CVKCFrameTest, CopySharesAndDeepCopyDuplicatesThePixels) {
  Ref<CVKCFrame> frame = CVKCFrame::frameWithWidth(3, 2, 1);
  ASSERT_TRUE(frame);
  cv::randu(*frame->mat(), 0, 255);
  Ref<LLKBObject> companion = CVKCFrame::frameWithWidth(1, 1, 1);
  frame->setAncillary(companion);

  Ref<CVKCFrame> shallow = frame->copy();
  Ref<CVKCFrame> deep = frame->deepCopy();
  ASSERT_TRUE(shallow && deep);
  for (const Ref<CVKCFrame>& copy : {shallow, deep}) {
    EXPECT_EQ(copy->width(), 3u);
    EXPECT_EQ(copy->height(), 2u);
    EXPECT_EQ(copy->format(), 1);
    EXPECT_EQ(copy->ancillary(), companion);
    EXPECT_EQ(cv::norm(*copy->mat(), *frame->mat(), cv::NORM_INF), 0.0);
  }
  EXPECT_EQ(shallow->bytes(), frame->bytes());
  EXPECT_NE(deep->bytes(), frame->bytes());
  EXPECT_EQ(deep->bytes(), deep->data()->bytes());

  frame->mat()->at<cv::Vec3b>(0, 0) = {7, 7, 7};
  deep->mat()->at<cv::Vec3b>(0, 0) = {9, 9, 9};
  EXPECT_EQ(shallow->mat()->at<cv::Vec3b>(0, 0), cv::Vec3b(7, 7, 7));
  EXPECT_EQ(frame->mat()->at<cv::Vec3b>(0, 0), cv::Vec3b(7, 7, 7));

  // The copies outlive the original.
  frame.reset();
  EXPECT_EQ(shallow->mat()->at<cv::Vec3b>(0, 0), cv::Vec3b(7, 7, 7));
}

TEST(CVKCFrameTest, DeepCopyOfAReallocatedMatrixClonesIt) {
  Ref<CVKCFrame> frame = CVKCFrame::frameWithWidth(4, 4, 1);
  *frame->mat() = cv::Mat(2, 5, CV_32FC1, cv::Scalar(0.5));
  Ref<CVKCFrame> deep = frame->deepCopy();
  ASSERT_TRUE(deep);
  EXPECT_EQ(deep->mat()->type(), CV_32FC1);
  EXPECT_NE(deep->bytes(), frame->bytes());
  EXPECT_EQ(cv::norm(*deep->mat(), *frame->mat(), cv::NORM_INF), 0.0);
}

TEST(CVKCFrameTest, ZeroClearsTheMatrixBytesOnly) {
  Ref<LLKCData> data = LLKCData::dataWithLength(2 * 2 * 3 + 4);
  std::memset(data->bytes(), 0xAB, data->length());
  Ref<CVKCFrame> frame = CVKCFrame::frameWithWidth(2, 2, 1, data);
  ASSERT_TRUE(frame);
  frame->zero();
  for (size_t i = 0; i < data->length(); ++i) EXPECT_EQ(data->bytes()[i], i < 12 ? 0 : 0xAB) << i;
}

TEST(CVKCFrameTest, SettingTheSameAncillaryKeepsItAlive) {
  Ref<CVKCFrame> frame = CVKCFrame::frameWithWidth(1, 1, 1);
  frame->setAncillary(CVKCFrame::frameWithWidth(2, 2, 1));
  LLKBObject* companion = frame->ancillary().get();
  frame->setAncillary(frame->ancillary());
  ASSERT_EQ(frame->ancillary().get(), companion);
  EXPECT_EQ(companion->retainCount(), 1u);
}

TEST(CVKCFrameTest, AReallocatedMatrixDescribesItselfWhileDataStays) {
  Ref<CVKCFrame> frame = CVKCFrame::frameWithWidth(4, 3, 1);
  Ref<LLKCData> data = frame->data();
  *frame->mat() = cv::Mat(5, 6, CV_32FC1);
  EXPECT_EQ(frame->width(), 6u);
  EXPECT_EQ(frame->height(), 5u);
  EXPECT_EQ(frame->length(), 6u * 5u * 4u);
  EXPECT_EQ(frame->format(), 0);
  EXPECT_EQ(frame->data(), data);
  EXPECT_NE(frame->bytes(), data->bytes());
}

}  // namespace

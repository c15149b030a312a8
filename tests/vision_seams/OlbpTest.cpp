// The 3 × 3 local binary pattern: fixed cases, every pixel depth against the reference, and
// inputs it must refuse.
#include "modules/vision/seams/OLBP.h"
#include "tests/vision_seams/SeamsReference.h"

#include "framework/core/LLKFLog.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <functional>
#include <string>

namespace {

bool same(const cv::Mat& a, const cv::Mat& b) {
  return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
}

TEST(OLBP, SmallestCentreOfThreeByThreeGetsEveryBit) {
  const cv::Mat image = (cv::Mat_<uchar>(3, 3) << 5, 6, 7, 8, 1, 9, 10, 11, 12);
  cv::Mat codes;
  lbplibrary::OLBP lbp;
  ASSERT_TRUE(lbp.run(image, codes));
  const cv::Mat expected = (cv::Mat_<uchar>(3, 3) << 0, 0, 0, 0, 255, 0, 0, 0, 0);
  EXPECT_TRUE(same(codes, expected));
}

TEST(OLBP, EachNeighbourSetsItsOwnBit) {
  // Neighbour positions in bit order 7 .. 0.
  const cv::Point neighbours[8] = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}};
  lbplibrary::OLBP lbp;
  for (int bit = 7; bit >= 0; --bit) {
    cv::Mat image(3, 3, CV_8UC1, cv::Scalar(50));
    image.at<uchar>(neighbours[7 - bit]) = 51;
    cv::Mat codes;
    ASSERT_TRUE(lbp.run(image, codes));
    EXPECT_EQ(codes.at<uchar>(1, 1), 1 << bit) << "bit " << bit;
  }
  // Equal is not greater.
  cv::Mat flat(3, 3, CV_8UC1, cv::Scalar(50)), codes;
  ASSERT_TRUE(lbp.run(flat, codes));
  EXPECT_EQ(cv::countNonZero(codes), 0);
}

TEST(OLBP, ImagesTooThinForANeighbourhoodGetZeroCodes) {
  lbplibrary::OLBP lbp;
  for (const cv::Size size : {cv::Size(9, 2), cv::Size(2, 9), cv::Size(1, 1)}) {
    cv::Mat image(size, CV_8UC1);
    cv::randu(image, 0, 256);
    cv::Mat codes;
    ASSERT_TRUE(lbp.run(image, codes));
    EXPECT_EQ(codes.size(), size);
    EXPECT_EQ(codes.type(), CV_8UC1);
    EXPECT_EQ(cv::countNonZero(codes), 0);
  }
}

template <typename T>
void checkDepth(int type, double low, double high) {
  cv::Mat image(23, 31, type);
  cv::randu(image, low, high);
  image.at<T>(5, 5) = image.at<T>(5, 6);  // ties are not greater
  cv::Mat codes;
  lbplibrary::OLBP lbp;
  ASSERT_TRUE(lbp.run(image, codes));
  EXPECT_TRUE(same(codes, reference::olbp<T>(image)));
}

TEST(OLBP, EveryDepthIsComparedInItsOwnType) {
  checkDepth<uchar>(CV_8UC1, 0, 256);
  checkDepth<schar>(CV_8SC1, -128, 128);
  checkDepth<ushort>(CV_16UC1, 0, 65536);
  checkDepth<short>(CV_16SC1, -32768, 32768);
  checkDepth<int>(CV_32SC1, -2e9, 2e9);
  checkDepth<float>(CV_32FC1, -1e-3, 1e-3);
  checkDepth<double>(CV_64FC1, -1e300, 1e300);
}

TEST(OLBP, ColourImagesAreReadAsGrey) {
  lbplibrary::OLBP lbp;
  for (const auto& [type, conversion] : {std::pair{CV_8UC3, cv::COLOR_BGR2GRAY},
                                         {CV_8UC4, cv::COLOR_BGRA2GRAY},
                                         {CV_16UC3, cv::COLOR_BGR2GRAY},
                                         {CV_32FC3, cv::COLOR_BGR2GRAY}}) {
    cv::Mat image(17, 19, type);
    cv::randu(image, 0, 200);
    cv::Mat grey, codes;
    cv::cvtColor(image, grey, conversion);
    ASSERT_TRUE(lbp.run(image, codes)) << type;
    switch (grey.depth()) {
      case CV_8U:
        EXPECT_TRUE(same(codes, reference::olbp<uchar>(grey)));
        break;
      case CV_16U:
        EXPECT_TRUE(same(codes, reference::olbp<ushort>(grey)));
        break;
      default:
        EXPECT_TRUE(same(codes, reference::olbp<float>(grey)));
        break;
    }
  }
}

TEST(OLBP, WritesIntoACallersBufferAndSurvivesRunningInPlace) {
  lbplibrary::OLBP lbp;
  cv::Mat image(48, 48, CV_8UC1);
  cv::randu(image, 0, 256);
  const cv::Mat expected = reference::olbp<uchar>(image);

  std::vector<uchar> scratch(48 * 48, 0xAA);
  cv::Mat codes(48, 48, CV_8UC1, scratch.data());
  ASSERT_TRUE(lbp.run(image, codes));
  EXPECT_EQ(codes.data, scratch.data());
  EXPECT_TRUE(same(codes, expected));

  // A patch's box, taken as a view of a larger scratch image.
  cv::Mat box = image(cv::Rect(3, 4, 20, 10)), boxCodes;
  ASSERT_TRUE(lbp.run(box, boxCodes));
  EXPECT_TRUE(same(boxCodes, reference::olbp<uchar>(box.clone())));

  cv::Mat inPlace = image.clone();
  ASSERT_TRUE(lbp.run(inPlace, inPlace));
  EXPECT_TRUE(same(inPlace, expected));
}

// A superpixel's grey values sit at the top-left of a zeroed patch; coding its box and one row
// and column beyond gives the box the codes that coding the whole patch gives it.
TEST(OLBP, TheBoxAndOneBeyondCodeLikeTheWholeZeroedPatch) {
  lbplibrary::OLBP lbp;
  for (const cv::Size box : {cv::Size(1, 1), cv::Size(5, 9), cv::Size(20, 17), cv::Size(47, 30), cv::Size(48, 48)}) {
    cv::Mat patch = cv::Mat::zeros(48, 48, CV_8UC1);
    cv::randu(patch(cv::Rect(cv::Point(0, 0), box)), 0, 86);
    cv::Mat whole, part;
    ASSERT_TRUE(lbp.run(patch, whole));
    const cv::Rect reach(0, 0, std::min(box.width + 1, 48), std::min(box.height + 1, 48));
    ASSERT_TRUE(lbp.run(patch(reach), part));
    const cv::Rect inBox(cv::Point(0, 0), box);
    EXPECT_TRUE(same(part(inBox), whole(inBox))) << box;
  }
}

TEST(OLBP, RefusesWhatItCannotCode) {
  LLKFLogSetQuiet(true);
  lbplibrary::OLBP lbp;
  lbplibrary::LBP& base = lbp;
  cv::Mat codes;
  EXPECT_FALSE(lbp.run(cv::Mat(), codes));
  EXPECT_FALSE(lbp.run(cv::Mat(5, 5, CV_8UC2, cv::Scalar::all(1)), codes));
  EXPECT_FALSE(lbp.run(cv::Mat(5, 5, CV_16FC1, cv::Scalar::all(1)), codes));
  EXPECT_FALSE(lbp.run(cv::Mat(5, 5, CV_8SC3, cv::Scalar::all(1)), codes));  // no grey for it
  std::vector<cv::Mat> several;
  EXPECT_FALSE(base.run(cv::Mat(5, 5, CV_8UC1, cv::Scalar::all(1)), several));
  EXPECT_TRUE(several.empty());
  LLKFLogSetQuiet(false);
}

}  // namespace

#include "modules/vision/algorithms/frame/CVKFRecipes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <tuple>

#include <opencv2/imgproc.hpp>

namespace {

using Recipe = int (*)(CVKCFrame*, CVKCFrame*);

struct NamedRecipe {
  const char* name;
  Recipe run;
};

const NamedRecipe kRecipes[] = {
    {"LaplacianFilter", CVKFRecipesLaplacianFilter}, {"DistanceTransform", CVKFRecipesDistanceTransform},
    {"Segmentation", CVKFRecipesSegmentation},       {"Contours", CVKFRecipesContours},
    {"Segmentation1", _CVKFRecipesSegmentation1},    {"Segmentation2", _CVKFRecipesSegmentation2},
};

Ref<CVKCFrame> uniform(unsigned width, unsigned height, cv::Scalar colour) {
  Ref<CVKCFrame> frame = CVKCFrame::frameWithWidth(width, height, 1);
  frame->mat()->setTo(colour);
  return frame;
}

// Dark discs on a light ground: clear contours and regions.
Ref<CVKCFrame> discs() {
  Ref<CVKCFrame> frame = uniform(64, 48, cv::Scalar(220, 210, 200));
  cv::circle(*frame->mat(), {18, 20}, 9, cv::Scalar(30, 40, 50), -1);
  cv::circle(*frame->mat(), {45, 28}, 11, cv::Scalar(60, 20, 10), -1);
  return frame;
}

TEST(CVKFRecipesTest, RefusesMissingOrUnfitFrames) {
  Ref<CVKCFrame> source = discs();
  Ref<CVKCFrame> grey = CVKCFrame::frameWithWidth(64, 48, 3);
  Ref<CVKCFrame> smaller = CVKCFrame::frameWithWidth(63, 48, 1);
  Ref<CVKCFrame> fourChannels = CVKCFrame::frameWithWidth(64, 48, 2);
  for (const NamedRecipe& recipe : kRecipes) {
    SCOPED_TRACE(recipe.name);
    EXPECT_EQ(recipe.run(nullptr, source.get()), EINVAL);
    EXPECT_EQ(recipe.run(source.get(), nullptr), EINVAL);
    EXPECT_EQ(recipe.run(grey.get(), source.get()), EINVAL);
    EXPECT_EQ(recipe.run(source.get(), smaller.get()), EINVAL);
  }
  // The watershed recipes paint three bytes per pixel.
  EXPECT_EQ(_CVKFRecipesSegmentation1(source.get(), fourChannels.get()), EINVAL);
  EXPECT_EQ(_CVKFRecipesSegmentation2(source.get(), fourChannels.get()), EINVAL);
  EXPECT_EQ(CVKFRecipesContours(source.get(), fourChannels.get()), 0);
}

TEST(CVKFRecipesTest, FlatSourcesHaveNoContoursOrRegions) {
  // A black source stays black through every Otsu split. (On a flat grey source OpenCV's Otsu
  // threshold is 0, which turns the whole picture white and outlines the frame.)
  Ref<CVKCFrame> source = uniform(32, 24, cv::Scalar(0, 0, 0));
  for (Recipe recipe : {CVKFRecipesContours, _CVKFRecipesSegmentation1}) {
    Ref<CVKCFrame> destination = uniform(32, 24, cv::Scalar(5, 5, 5));
    ASSERT_EQ(recipe(source.get(), destination.get()), 0);
    EXPECT_EQ(cv::countNonZero(destination->mat()->reshape(1)), 0);
  }
  // The smoothed grey gradient of any flat source is 0, so the first watershed has no seeds.
  source = uniform(32, 24, cv::Scalar(90, 120, 150));
  Ref<CVKCFrame> destination = uniform(32, 24, cv::Scalar(5, 5, 5));
  ASSERT_EQ(_CVKFRecipesSegmentation1(source.get(), destination.get()), 0);
  EXPECT_EQ(cv::countNonZero(destination->mat()->reshape(1)), 0);
}

TEST(CVKFRecipesTest, LaplacianSharpeningLeavesFlatAreasAndStressesEdges) {
  Ref<CVKCFrame> source = uniform(8, 8, cv::Scalar(100, 100, 100));
  source->mat()->at<cv::Vec3b>(4, 4) = {120, 120, 120};
  Ref<CVKCFrame> destination = CVKCFrame::frameWithWidth(8, 8, 1);
  ASSERT_EQ(CVKFRecipesLaplacianFilter(source.get(), destination.get()), 0);
  const cv::Mat& out = *destination->mat();
  EXPECT_EQ(out.at<cv::Vec3b>(0, 0), cv::Vec3b(100, 100, 100));
  EXPECT_EQ(out.at<cv::Vec3b>(4, 4), cv::Vec3b(255, 255, 255));  // 120 + 8 × 20, saturated
  EXPECT_EQ(out.at<cv::Vec3b>(4, 5), cv::Vec3b(80, 80, 80));     // 100 − 20
}

TEST(CVKFRecipesTest, DistanceTransformWritesANormalisedFloatMatrix) {
  Ref<CVKCFrame> source = discs();
  Ref<CVKCFrame> destination = CVKCFrame::frameWithWidth(64, 48, 1);
  ASSERT_EQ(CVKFRecipesDistanceTransform(source.get(), destination.get()), 0);
  EXPECT_EQ(destination->mat()->type(), CV_32FC1);
  EXPECT_EQ(destination->format(), 0);
  double low = 0, high = 0;
  cv::minMaxLoc(*destination->mat(), &low, &high);
  EXPECT_FLOAT_EQ(float(low), 0.0f);
  EXPECT_FLOAT_EQ(float(high), 1.0f);
}

TEST(CVKFRecipesTest, SegmentationIsABinaryPictureWithEqualChannels) {
  Ref<CVKCFrame> source = discs();
  Ref<CVKCFrame> destination = CVKCFrame::frameWithWidth(64, 48, 1);
  ASSERT_EQ(CVKFRecipesSegmentation(source.get(), destination.get()), 0);
  int edges = 0;
  destination->mat()->forEach<cv::Vec3b>([&](const cv::Vec3b& p, const int*) {
    EXPECT_TRUE((p == cv::Vec3b(0, 0, 0)) || (p == cv::Vec3b(255, 255, 255)));
  });
  for (int r = 0; r < 48; ++r)
    for (int c = 0; c < 64; ++c) edges += destination->mat()->at<cv::Vec3b>(r, c)[0] == 255;
  EXPECT_GT(edges, 0);
}

TEST(CVKFRecipesTest, ContoursAreDrawnInGreen) {
  Ref<CVKCFrame> source = discs();
  Ref<CVKCFrame> destination = CVKCFrame::frameWithWidth(64, 48, 1);
  ASSERT_EQ(CVKFRecipesContours(source.get(), destination.get()), 0);
  int green = 0;
  for (int r = 0; r < 48; ++r)
    for (int c = 0; c < 64; ++c) {
      const cv::Vec3b p = destination->mat()->at<cv::Vec3b>(r, c);
      EXPECT_TRUE(p == cv::Vec3b(0, 0, 0) || p == cv::Vec3b(0, 255, 0));
      green += p[1] == 255;
    }
  EXPECT_GT(green, 20);
}

// Colours of the painted regions, black excluded.
std::set<std::tuple<int, int, int>> paintedColours(const cv::Mat& image) {
  std::set<std::tuple<int, int, int>> colours;
  for (int r = 0; r < image.rows; ++r)
    for (int c = 0; c < image.cols; ++c) {
      const cv::Vec3b p = image.at<cv::Vec3b>(r, c);
      if (p != cv::Vec3b(0, 0, 0)) colours.insert({p[0], p[1], p[2]});
    }
  return colours;
}

TEST(CVKFRecipesTest, WatershedRegionsTakeFreshColoursOnEveryCall) {
  Ref<CVKCFrame> source = discs();
  for (Recipe recipe : {_CVKFRecipesSegmentation1, _CVKFRecipesSegmentation2}) {
    Ref<CVKCFrame> first = CVKCFrame::frameWithWidth(64, 48, 1);
    Ref<CVKCFrame> second = CVKCFrame::frameWithWidth(64, 48, 1);
    ASSERT_EQ(recipe(source.get(), first.get()), 0);
    ASSERT_EQ(recipe(source.get(), second.get()), 0);
    const auto colours = paintedColours(*first->mat());
    EXPECT_FALSE(colours.empty());
    EXPECT_NE(colours, paintedColours(*second->mat()));
  }
}

}  // namespace

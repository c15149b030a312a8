#include "imagekit/curves/CurveResampling.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <limits>

namespace {

using Points = std::vector<cv::Point>;

Points resampled(Points points, int N) {
  EXPECT_TRUE(Resample(points, N));
  return points;
}

}  // namespace

TEST(CurveResample, EquallySpacedAlongTheOpenPolyline) {
  const Points square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_EQ(resampled(square, 4), (Points{{0, 0}, {7, 0}, {10, 5}, {7, 10}}));
  EXPECT_EQ(resampled(square, 1), (Points{{0, 0}}));
  EXPECT_EQ(resampled(square, 2), (Points{{0, 0}, {10, 5}}));
}

TEST(CurveResample, PointsOnOneSegmentStopShortOfItsEnd) {
  // Step 2 on a segment of 10: points at 0, 2, 4, 6, 8; none at 10 (nothing would remain beyond it).
  EXPECT_EQ(resampled({{0, 0}, {10, 0}}, 5), (Points{{0, 0}, {2, 0}, {4, 0}, {6, 0}, {8, 0}}));
  // Reaching the step exactly at a segment's end places a point there.
  EXPECT_EQ(resampled({{0, 0}, {5, 0}, {10, 0}}, 2), (Points{{0, 0}, {5, 0}}));
}

TEST(CurveResample, DegenerateCurvesGiveDefinedPoints) {
  // No length: every point is the curve's only place.
  EXPECT_EQ(resampled({{3, 4}, {3, 4}, {3, 4}}, 4), Points(4, cv::Point(3, 4)));
  EXPECT_EQ(resampled({{3, 4}}, 3), Points(3, cv::Point(3, 4)));
  // A spacing finer than the tolerance: the points run up to the end and stay there.
  const Points fine = resampled({{0, 0}, {1, 0}}, 5000);
  ASSERT_EQ(fine.size(), 5000u);
  for (const cv::Point& p : fine) EXPECT_TRUE(p == cv::Point(0, 0) || p == cv::Point(1, 0)) << p;
  EXPECT_EQ(fine.back(), cv::Point(1, 0));
}

TEST(CurveResample, RefusesWhatItCannotResample) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> rx = {42}, ry = {42};
  const struct {
    const char* what;
    std::vector<double> xs, ys;
    int N;
  } cases[] = {
      {"N = 0", {0, 1}, {0, 1}, 0},
      {"N negative", {0, 1}, {0, 1}, -3},
      {"no points", {}, {}, 3},
      {"unequal vectors", {0, 1}, {0}, 3},
      {"NaN", {0, nan}, {0, 1}, 3},
      {"infinity", {0, 1}, {0, std::numeric_limits<double>::infinity()}, 3},
      {"beyond the int range", {0, 1e12}, {0, 1}, 3},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(ResampleCurve(c.xs, c.ys, rx, ry, c.N, false)) << c.what;
    EXPECT_EQ(rx, std::vector<double>{42}) << c.what;
  }
  Points points = {{0, 0}, {10, 0}};
  EXPECT_FALSE(Resample(points, 0));
  EXPECT_EQ(points, (Points{{0, 0}, {10, 0}}));
}

TEST(CurveResample, HugeCoordinatesStayInRange) {
  const int big = std::numeric_limits<int>::max(), small = std::numeric_limits<int>::min();
  const Points line = resampled({{small, small}, {big, big}}, 7);
  ASSERT_EQ(line.size(), 7u);
  for (size_t i = 1; i < line.size(); ++i) EXPECT_GT(line[i].x, line[i - 1].x);
}

TEST(CurveSplitMerge, RoundTripAndTruncation) {
  std::vector<double> xs, ys;
  ASSERT_TRUE(PolyLineSplit(Points{{1, -2}, {3, 4}}, xs, ys));
  EXPECT_EQ(xs, (std::vector<double>{1, 3}));
  EXPECT_EQ(ys, (std::vector<double>{-2, 4}));
  Points merged;
  ASSERT_TRUE(PolyLineMerge(merged, std::vector<double>{1.9, -1.9}, std::vector<double>{2.5, -0.5}));
  EXPECT_EQ(merged, (Points{{1, 2}, {-1, 0}}));
  EXPECT_FALSE(PolyLineMerge(merged, std::vector<double>{1}, std::vector<double>{}));
  EXPECT_FALSE(PolyLineMerge(merged, std::vector<double>{3e9}, std::vector<double>{0}));
  EXPECT_EQ(merged, (Points{{1, 2}, {-1, 0}}));
}

TEST(CurveKernels, GaussianAndItsDerivatives) {
  std::vector<double> g, dg, d2g;
  ASSERT_TRUE(CurveGaussianDerivs(1.0, 5, g, dg, d2g));
  const cv::Mat kernel = cv::getGaussianKernel(5, 1.0, CV_64F);
  ASSERT_EQ(g.size(), 5u);
  for (int k = 0; k < 5; ++k) {
    const double i = k - 2;
    EXPECT_DOUBLE_EQ(g[k], kernel.at<double>(k));
    EXPECT_DOUBLE_EQ(dg[k], -i * kernel.at<double>(k));
    EXPECT_DOUBLE_EQ(d2g[k], (i * i - 1) * kernel.at<double>(k));
  }
  for (auto [sigma, M] : {std::pair{1.0, 4}, {1.0, 0}, {0.0, 5}, {-1.0, 5}, {std::nan(""), 5}})
    EXPECT_FALSE(CurveGaussianDerivs(sigma, M, g, dg, d2g)) << sigma << " " << M;
}

// Which sample meets each kernel tap: one-hot kernels pick them out.
TEST(CurveKernels, ClosedCurvesWrapOpenOnesMirror) {
  const std::vector<double> x = {10, 20, 30, 40, 50};
  const struct {
    int n;
    bool open;
    std::vector<double> expected;  // the sample met by g[0] .. g[4]
  } cases[] = {
      {0, false, {30, 20, 10, 50, 40}},
      {4, false, {20, 10, 50, 40, 30}},
      {0, true, {30, 20, 10, 20, 30}},
      {4, true, {30, 40, 50, 40, 30}},
  };
  for (const auto& c : cases)
    for (int tap = 0; tap < 5; ++tap) {
      std::vector<double> g(5, 0.0);
      g[tap] = 1;
      double gx = -1, dgx = -1, d2gx = -1;
      ASSERT_TRUE(CurveCoordinateDerivsAt(x, c.n, 1.0, gx, dgx, d2gx, g, g, g, c.open));
      EXPECT_EQ(gx, c.expected[tap]) << "n " << c.n << " open " << c.open << " tap " << tap;
    }
}

TEST(CurveSmooth, ElevenTapWindowWrapsAroundTheContour) {
  Points contour;
  for (int i = 0; i < 16; ++i) contour.emplace_back(i < 8 ? 0 : 160, 10 * i);
  Points smoothed = contour;
  ASSERT_TRUE(Smooth(smoothed, 1.0));
  const cv::Mat kernel = cv::getGaussianKernel(11, 1.0, CV_64F);
  for (int n = 0; n < 16; ++n) {
    double x = 0, y = 0;
    for (int j = 0; j < 11; ++j) {
      const int t = ((n + 5 - j) % 16 + 16) % 16;
      x += kernel.at<double>(j) * contour[t].x;
      y += kernel.at<double>(j) * contour[t].y;
    }
    EXPECT_EQ(smoothed[n], cv::Point(static_cast<int>(x), static_cast<int>(y))) << n;
  }
}

TEST(CurveSmooth, RefusesSigmasWithoutAWindowAndCopesWithShortContours) {
  Points contour = {{0, 0}, {5, 0}, {5, 5}};
  for (double sigma : {-1.0, 0.0, 1e9, std::nan("")}) {
    EXPECT_FALSE(Smooth(contour, sigma)) << sigma;
    EXPECT_EQ(contour, (Points{{0, 0}, {5, 0}, {5, 5}}));
  }
  // A window longer than the contour wraps around it more than once.
  ASSERT_TRUE(Smooth(contour, 2.0));
  EXPECT_EQ(contour.size(), 3u);
  Points none;
  EXPECT_TRUE(Smooth(none, 1.0));
  EXPECT_TRUE(none.empty());
}

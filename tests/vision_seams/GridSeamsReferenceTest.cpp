// Grid seams against the plain reference, bit for bit, on random images of many shapes.
#include "modules/vision/seams/GridSeams.h"
#include "tests/vision_seams/SeamsReference.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

enum class Scene { noise, smooth, blocks };

cv::Mat randomImage(int width, int height, Scene scene, std::uint64_t seed) {
  cv::RNG rng(seed);
  cv::Mat image(height, width, CV_8UC3);
  rng.fill(image, cv::RNG::UNIFORM, 0, 256);
  if (scene == Scene::smooth) cv::GaussianBlur(image, image, cv::Size(9, 9), 3.0);
  if (scene == Scene::blocks) {
    cv::Mat noise = image.clone();
    for (int i = 0; i < 12; ++i) {
      const cv::Point a(rng.uniform(0, width), rng.uniform(0, height));
      const cv::Point b(rng.uniform(0, width), rng.uniform(0, height));
      cv::rectangle(image, a, b, cv::Scalar(rng.uniform(0, 256), rng.uniform(0, 256), rng.uniform(0, 256)), cv::FILLED);
    }
    cv::addWeighted(image, 0.9, noise, 0.1, 0.0, image);
  }
  return image;
}

struct Shape {
  int width, height, stepX, stepY;
  float stay;
};

const Shape kShapes[] = {
    {37, 29, 4, 5, 0.06f}, {64, 48, 16, 16, 0.06f}, {130, 77, 16, 8, 0.06f}, {50, 50, 2, 2, 0.06f},
    {45, 61, 3, 7, 1.5f},  {96, 64, 16, 16, 0.0f},  {23, 90, 5, 9, 0.3f},    {33, 20, 40, 40, 0.06f},
    {1, 40, 2, 2, 0.06f},  {40, 1, 2, 2, 0.06f},    {2, 2, 2, 2, 0.06f},     {161, 121, 16, 16, 0.06f},
};
const Scene kScenes[] = {Scene::noise, Scene::smooth, Scene::blocks};

std::string describe(const Shape& s, Scene scene) {
  return std::to_string(s.width) + "x" + std::to_string(s.height) + " step " + std::to_string(s.stepX) + "x" +
         std::to_string(s.stepY) + " stay " + std::to_string(s.stay) + " scene " + std::to_string(int(scene));
}

bool same(const cv::Mat& a, const cv::Mat& b) {
  return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
}

// OpenCV's multiply-with-carry generator, written out.
std::vector<cv::Vec3b> labelColours(size_t count) {
  std::uint64_t state = 123457;
  auto next = [&] {
    state = std::uint64_t(std::uint32_t(state)) * 4164903690u + (state >> 32);
    return std::uint32_t(state);
  };
  std::vector<cv::Vec3b> colours(count);
  for (cv::Vec3b& c : colours)
    for (int ch = 0; ch < 3; ++ch) c[ch] = uchar(next());
  return colours;
}

TEST(GridSeamsReference, SeamsAndLabelsMatchBitForBit) {
  for (const Shape& shape : kShapes)
    for (Scene scene : kScenes) {
      SCOPED_TRACE(describe(shape, scene));
      const cv::Mat image = randomImage(shape.width, shape.height, scene, 7 + std::uint64_t(shape.width));
      const reference::Segmentation expected = reference::segment(image, shape.stepX, shape.stepY, shape.stay);
      GridSeams seams;
      ASSERT_EQ(seams.process(image, shape.stepX, shape.stepY, shape.stay), expected.count);
      EXPECT_TRUE(same(seams.verticalSeams(), expected.vertical));
      EXPECT_TRUE(same(seams.horizontalSeams(), expected.horizontal));
      EXPECT_TRUE(same(seams.labels(), expected.labels));
    }
}

// Every small shape, where cells are empty, single or end at the image's edge.
TEST(GridSeamsReference, EverySmallShapeMatches) {
  for (int width = 1; width <= 19; width += 3)
    for (int height = 1; height <= 19; height += 2)
      for (int stepX = 2; stepX <= 7; ++stepX)
        for (int stepY = 2; stepY <= 7; stepY += 2) {
          const Shape shape{width, height, stepX, stepY, 0.06f};
          SCOPED_TRACE(describe(shape, Scene::noise));
          const cv::Mat image = randomImage(width, height, Scene::noise, std::uint64_t(width * 1000 + height));
          const reference::Segmentation expected = reference::segment(image, stepX, stepY, shape.stay);
          GridSeams seams;
          ASSERT_EQ(seams.process(image, stepX, stepY, shape.stay), expected.count);
          ASSERT_TRUE(same(seams.labels(), expected.labels));
        }
}

// A view into a larger image (rows not contiguous) segments like a copy of it.
TEST(GridSeamsReference, AViewSegmentsLikeItsCopy) {
  const cv::Mat large = randomImage(200, 150, Scene::blocks, 77);
  const cv::Mat view = large(cv::Rect(13, 21, 130, 97));
  ASSERT_FALSE(view.isContinuous());
  GridSeams fromView, fromCopy;
  ASSERT_EQ(fromView.process(view, 16, 16, 0.06f), fromCopy.process(view.clone(), 16, 16, 0.06f));
  EXPECT_TRUE(same(fromView.labels(), fromCopy.labels()));
  std::vector<GridSeams::spixel_t> a(72), b(72);
  cv::Mat paintA(view.size(), CV_8UC3), paintB(view.size(), CV_8UC3);
  ASSERT_TRUE(fromView.display(view, paintA, a));
  ASSERT_TRUE(fromCopy.display(view.clone(), paintB, b));
  EXPECT_TRUE(same(paintA, paintB));
  for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].count, b[i].count);
}

TEST(GridSeamsReference, MeasuresPaintsAndCutOutsMatch) {
  for (const Shape& shape : kShapes)
    for (Scene scene : kScenes) {
      SCOPED_TRACE(describe(shape, scene));
      const cv::Mat image = randomImage(shape.width, shape.height, scene, 99 + std::uint64_t(shape.height));
      GridSeams seams;
      const unsigned n = seams.process(image, shape.stepX, shape.stepY, shape.stay);
      ASSERT_GT(n, 0u);
      const std::vector<reference::Record> expected = reference::measure(image, seams.labels(), n);
      std::vector<GridSeams::spixel_t> records(n);
      cv::Mat paint(image.size(), CV_8UC3);
      ASSERT_TRUE(seams.display(image, paint, records));

      cv::Mat expectedPaint(image.size(), CV_8UC3);
      for (unsigned i = 0; i < n; ++i) {
        const reference::Record& e = expected[i];
        const GridSeams::spixel_t& r = records[i];
        ASSERT_EQ(r.count, e.count) << i;
        if (e.count == 0) continue;
        EXPECT_EQ(r.xmin, e.xmin);
        EXPECT_EQ(r.xmax, e.xmax);
        EXPECT_EQ(r.ymin, e.ymin);
        EXPECT_EQ(r.ymax, e.ymax);
        EXPECT_EQ(r.centre[0], float(e.cx));
        EXPECT_EQ(r.centre[1], float(e.cy));
        for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(r.colour[ch], float(e.colour[ch]));

        // The cut-out over the box, on patches larger than the box and already dirty.
        cv::Mat mask(e.ymax - e.ymin + 3, e.xmax - e.xmin + 2, CV_8UC1, cv::Scalar(1));
        cv::Mat grey(mask.size(), CV_8UC1, cv::Scalar(2));
        ASSERT_TRUE(seams.extract(image, mask, grey, r, i));
        for (int y = 0; y < mask.rows; ++y)
          for (int x = 0; x < mask.cols; ++x) {
            const bool inBox = y <= e.ymax - e.ymin && x <= e.xmax - e.xmin;
            uchar wantMask = 1, wantGrey = 2;
            if (inBox) {
              const cv::Vec3b p = image.at<cv::Vec3b>(y + e.ymin, x + e.xmin);
              // The weighted mean over 3, truncated: exact in thousandths.
              wantGrey = uchar(int(std::floor((114 * p[0] + 587 * p[1] + 299 * p[2]) / 3000.0)));
              if (seams.labels().at<std::uint16_t>(y + e.ymin, x + e.xmin) == i) wantMask = 255;
            }
            ASSERT_EQ(mask.at<uchar>(y, x), wantMask) << i << " at " << x << "," << y;
            ASSERT_EQ(grey.at<uchar>(y, x), wantGrey) << i << " at " << x << "," << y;
          }
      }
      for (int y = 0; y < image.rows; ++y)
        for (int x = 0; x < image.cols; ++x) {
          const reference::Record& e = expected[seams.labels().at<std::uint16_t>(y, x)];
          for (int ch = 0; ch < 3; ++ch)
            expectedPaint.at<cv::Vec3b>(y, x)[ch] = cv::saturate_cast<uchar>(float(e.colour[ch]));
        }
      EXPECT_TRUE(same(paint, expectedPaint));
    }
}

TEST(GridSeamsReference, LabelColoursMatch) {
  const Shape shape{130, 77, 16, 8, 0.06f};
  const cv::Mat image = randomImage(shape.width, shape.height, Scene::blocks, 5);
  GridSeams seams;
  ASSERT_GT(seams.process(image, shape.stepX, shape.stepY, shape.stay), 0u);
  const cv::Mat& labels = seams.labels();
  const size_t lattice = size_t(seams.cellsX() + 1) * size_t(seams.cellsY() + 1);

  std::vector<std::uint64_t> sums(lattice * 3, 0), counts(lattice, 0);
  for (int y = 0; y < image.rows; ++y)
    for (int x = 0; x < image.cols; ++x) {
      const unsigned l = labels.at<std::uint16_t>(y, x);
      for (int ch = 0; ch < 3; ++ch) sums[l * 3 + size_t(ch)] += image.at<cv::Vec3b>(y, x)[ch];
      ++counts[l];
    }
  const std::vector<cv::Vec3b> palette = labelColours(lattice);
  cv::Mat means(image.size(), CV_8UC3), colours(image.size(), CV_8UC3);
  ASSERT_TRUE(seams.display(image, means, true));
  ASSERT_TRUE(seams.display(image, colours, false));
  for (int y = 0; y < image.rows; ++y)
    for (int x = 0; x < image.cols; ++x) {
      const unsigned l = labels.at<std::uint16_t>(y, x);
      for (int ch = 0; ch < 3; ++ch) ASSERT_EQ(means.at<cv::Vec3b>(y, x)[ch], sums[l * 3 + size_t(ch)] / counts[l]);
      ASSERT_EQ(colours.at<cv::Vec3b>(y, x), palette[l]);
    }
}

// Every row crosses exactly one vertical seam per cell, inside the cell and never on a cell's
// forbidden last column; likewise every column for the horizontal seams.
TEST(GridSeamsSeams, NeverOnAForbiddenColumnAndOnePerCell) {
  for (const Shape& shape : kShapes)
    for (Scene scene : kScenes) {
      SCOPED_TRACE(describe(shape, scene));
      const cv::Mat image = randomImage(shape.width, shape.height, scene, 1234);
      GridSeams seams;
      ASSERT_GT(seams.process(image, shape.stepX, shape.stepY, shape.stay), 0u);
      const auto check = [](const cv::Mat& mask, int step, int cells) {
        const int length = mask.cols;
        for (int line = 0; line < mask.rows; ++line) {
          const uchar* m = mask.ptr<uchar>(line);
          int crossings = 0;
          for (int x = 0; x < length; ++x) {
            if (!m[x]) continue;
            ++crossings;
            ASSERT_FALSE((x + 1) % step == 0 && x + 1 < cells * step) << "forbidden " << x << " on " << line;
            const int cell = std::min(x / step, cells - 1);
            const int end = cell == cells - 1 ? length : (cell + 1) * step - 1;
            ASSERT_LT(x, end);
          }
          ASSERT_EQ(crossings, cells) << "line " << line;
        }
      };
      check(seams.verticalSeams(), shape.stepX, seams.cellsX());
      check(seams.horizontalSeams().t(), shape.stepY, seams.cellsY());
    }
}

}  // namespace

#include "bench/vision_seams/Scenes.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

const char* const kPhoto = "/usr/share/doc/opencv-doc/examples/data/fruits.jpg";

// 255 where a pixel differs from its right or lower neighbour.
cv::Mat boundaries(const cv::Mat& ids) {
  cv::Mat out = cv::Mat::zeros(ids.size(), CV_8UC1);
  for (int y = 0; y < ids.rows; ++y)
    for (int x = 0; x < ids.cols; ++x) {
      const int id = ids.at<int>(y, x);
      if ((x + 1 < ids.cols && ids.at<int>(y, x + 1) != id) || (y + 1 < ids.rows && ids.at<int>(y + 1, x) != id))
        out.at<uchar>(y, x) = 255;
    }
  return out;
}

}  // namespace

Scene syntheticScene(cv::Size size, std::uint64_t seed) {
  cv::RNG rng(seed);
  Scene scene{cv::Mat(size, CV_8UC3, cv::Scalar(90, 110, 130)), cv::Mat::zeros(size, CV_32SC1)};
  const int shapes = std::max(8, size.area() / 2500);
  const int reach = std::max(size.width, size.height) / 6;
  for (int id = 1; id <= shapes; ++id) {
    const cv::Point centre(rng.uniform(0, size.width), rng.uniform(0, size.height));
    const cv::Scalar colour(rng.uniform(0, 256), rng.uniform(0, 256), rng.uniform(0, 256));
    if (rng.uniform(0, 2) == 0) {
      const cv::Size axes(rng.uniform(8, reach), rng.uniform(8, reach));
      const double angle = rng.uniform(0.0, 180.0);
      cv::ellipse(scene.image, centre, axes, angle, 0, 360, colour, cv::FILLED);
      cv::ellipse(scene.regions, centre, axes, angle, 0, 360, cv::Scalar(id), cv::FILLED);
    } else {
      std::vector<cv::Point> corners;
      const int n = rng.uniform(3, 7);
      for (int i = 0; i < n; ++i)
        corners.emplace_back(centre.x + rng.uniform(-reach, reach), centre.y + rng.uniform(-reach, reach));
      std::vector<cv::Point> hull;
      cv::convexHull(corners, hull);
      cv::fillConvexPoly(scene.image, hull, colour);
      cv::fillConvexPoly(scene.regions, hull, cv::Scalar(id));
    }
  }
  cv::Mat noise(size, CV_16SC3);
  rng.fill(noise, cv::RNG::NORMAL, 0, 8);
  cv::Mat noisy;
  scene.image.convertTo(noisy, CV_16SC3);
  noisy += noise;
  noisy.convertTo(scene.image, CV_8UC3);
  return scene;
}

Scene photoScene(cv::Size size) {
  const cv::Mat photo = cv::imread(kPhoto, cv::IMREAD_COLOR);
  if (photo.empty()) return {};
  Scene scene;
  cv::resize(photo, scene.image, size, 0, 0, cv::INTER_LINEAR);
  return scene;
}

double boundaryRecall(const cv::Mat& regions, const cv::Mat& labels, int tolerance) {
  cv::Mat ids;
  labels.convertTo(ids, CV_32S);
  const cv::Mat truth = boundaries(regions);
  cv::Mat found;
  const cv::Mat square = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(2 * tolerance + 1, 2 * tolerance + 1));
  cv::dilate(boundaries(ids), found, square);
  const int total = cv::countNonZero(truth);
  return total ? double(cv::countNonZero(truth & found)) / total : 1.0;
}

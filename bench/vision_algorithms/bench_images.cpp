#include "bench/vision_algorithms/bench_images.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

std::string benchDataFolder() {
  const char* folder = std::getenv("VESKO_OPENCV_DATA");
  return folder ? folder : "/usr/share/doc/opencv-doc/examples/data";
}

std::vector<BenchImage> benchPhotos(int width, int height) {
  std::vector<BenchImage> photos;
  for (const char* name : {"fruits.jpg", "baboon.jpg", "building.jpg", "home.jpg"}) {
    cv::Mat photo = cv::imread(benchDataFolder() + "/" + name, cv::IMREAD_COLOR);
    if (photo.empty()) continue;
    cv::Mat resized;
    cv::resize(photo, resized, {width, height}, 0, 0, cv::INTER_AREA);
    photos.push_back({name, resized, {}});
  }
  return photos;
}

BenchImage benchMosaic(int width, int height, int cells, double noise, unsigned seed) {
  // Sites jittered around a grid, so the nearest one is always among the 5 × 5 grid cells
  // around a pixel.
  std::mt19937 random(seed);
  const int side = std::max(4, int(std::sqrt(double(width) * height / std::max(cells, 1))));
  const int columns = (width + side - 1) / side, rows = (height + side - 1) / side;
  std::vector<cv::Point> sites;
  std::vector<cv::Vec3b> colours;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      sites.emplace_back(c * side + int(random() % unsigned(side)), r * side + int(random() % unsigned(side)));
      colours.emplace_back(uchar(random()), uchar(random()), uchar(random()));
    }
  BenchImage mosaic{"mosaic", cv::Mat(height, width, CV_8UC3), cv::Mat(height, width, CV_32SC1)};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      int best = 0;
      long bestDistance = -1;
      for (int r = std::max(0, y / side - 2); r <= std::min(rows - 1, y / side + 2); ++r)
        for (int c = std::max(0, x / side - 2); c <= std::min(columns - 1, x / side + 2); ++c) {
          const int i = r * columns + c;
          const long dx = x - sites[size_t(i)].x, dy = y - sites[size_t(i)].y;
          if (bestDistance < 0 || dx * dx + dy * dy < bestDistance) {
            bestDistance = dx * dx + dy * dy;
            best = i;
          }
        }
      mosaic.truth.at<int>(y, x) = best;
      mosaic.bgr.at<cv::Vec3b>(y, x) = colours[size_t(best)];
    }
  if (noise > 0) {
    cv::Mat grain(height, width, CV_16SC3);
    cv::theRNG().state = seed;
    cv::randn(grain, 0, noise);
    cv::Mat noisy;
    cv::add(mosaic.bgr, grain, noisy, cv::noArray(), CV_8UC3);
    mosaic.bgr = noisy;
    mosaic.name = "noisy mosaic";
  }
  return mosaic;
}

std::vector<unsigned int> packedPixels(const cv::Mat& bgr) {
  std::vector<unsigned int> pixels;
  pixels.reserve(bgr.total());
  for (int y = 0; y < bgr.rows; ++y)
    for (int x = 0; x < bgr.cols; ++x) {
      const cv::Vec3b p = bgr.at<cv::Vec3b>(y, x);
      pixels.push_back(unsigned(p[2]) << 16 | unsigned(p[1]) << 8 | p[0]);
    }
  return pixels;
}

#pragma once
// Test pictures for the benchmarks: photos from Debian's opencv-doc examples (when installed;
// VESKO_OPENCV_DATA names another folder) and Voronoi mosaics with a known ground truth.
#include <string>
#include <vector>

#include <opencv2/core.hpp>

struct BenchImage {
  std::string name;
  cv::Mat bgr;    // 8-bit blue-green-red
  cv::Mat truth;  // 32-bit labels, empty for photos
};

// The folder of OpenCV's sample data.
std::string benchDataFolder();

// The photos, resized to width × height; empty when the data folder is missing.
std::vector<BenchImage> benchPhotos(int width, int height);

// About `cells` cells around random sites, each of one colour, with Gaussian noise of the given deviation.
BenchImage benchMosaic(int width, int height, int cells, double noise, unsigned seed);

// The picture as packed 0x00RRGGBB words, the input of SLIC.
std::vector<unsigned int> packedPixels(const cv::Mat& bgr);

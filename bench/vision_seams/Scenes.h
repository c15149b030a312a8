#pragma once
// Frames for the superpixel benchmarks: synthetic scenes whose regions are known, photos from
// Debian's opencv-doc pictures, and the boundary recall that scores a segmentation.
#include <opencv2/core.hpp>

#include <cstdint>

struct Scene {
  cv::Mat image;    // 8-bit BGR
  cv::Mat regions;  // 32-bit region ids of the synthetic scenes; empty for photos
};

// Overlapping filled polygons and ellipses of flat colours, with noise, on a flat ground.
Scene syntheticScene(cv::Size size, std::uint64_t seed);

// A photo scaled to `size`; empty when the pictures are not installed.
Scene photoScene(cv::Size size);

// The share of the true region boundary pixels that lie within `tolerance` pixels (chessboard
// distance) of a superpixel boundary. `labels` may be of any integer type.
double boundaryRecall(const cv::Mat& regions, const cv::Mat& labels, int tolerance);

#pragma once
// A plain, slow, loop-by-loop statement of grid seams and local binary patterns, written from
// the algorithm's description alone, to hold the library's fast code to the exact bits.
#include <opencv2/core.hpp>

#include <cstdint>
#include <vector>

namespace reference {

// Both seam masks (255 on seam pixels) and the labels of one segmented image.
struct Segmentation {
  cv::Mat vertical;    // 8-bit
  cv::Mat horizontal;  // 8-bit
  cv::Mat labels;      // 16-bit
  unsigned count = 0;  // largest label + 1
};

// The per-pixel energy: 1 − min-max normalised mean of the absolute 3 × 3 Sobel derivatives
// of the grey image (grey and Sobel as OpenCV computes them, written out).
cv::Mat energy(const cv::Mat& bgr);

Segmentation segment(const cv::Mat& bgr, int stepX, int stepY, float stay);

struct Record {
  int xmin, xmax, ymin, ymax;
  double cx, cy;
  double colour[3];
  unsigned count;
};
// Measures of labels 0 .. count − 1 straight from the definitions.
std::vector<Record> measure(const cv::Mat& bgr, const cv::Mat& labels, unsigned count);

// The 3 × 3 local binary pattern of a one-channel image of type T.
template <typename T>
cv::Mat olbp(const cv::Mat& grey) {
  cv::Mat codes = cv::Mat::zeros(grey.size(), CV_8UC1);
  // Neighbours in bit order 7 .. 0: top-left, top, top-right, right, bottom-right, bottom,
  // bottom-left, left.
  const int dy[8] = {-1, -1, -1, 0, 1, 1, 1, 0};
  const int dx[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
  for (int r = 1; r + 1 < grey.rows; ++r)
    for (int c = 1; c + 1 < grey.cols; ++c) {
      int code = 0;
      for (int n = 0; n < 8; ++n)
        if (grey.at<T>(r + dy[n], c + dx[n]) > grey.at<T>(r, c)) code |= 1 << (7 - n);
      codes.at<uchar>(r, c) = uchar(code);
    }
  return codes;
}

}  // namespace reference

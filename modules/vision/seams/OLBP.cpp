#include "modules/vision/seams/OLBP.h"

#include "framework/core/LLKFLog.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <exception>

namespace lbplibrary {
namespace {

// One expression per pixel over three rows, which the compiler turns into vector compares.
template <typename T>
void codesOf(const cv::Mat& grey, cv::Mat& codes) {
  for (int r = 0; r < codes.rows; ++r) std::fill_n(codes.ptr<uchar>(r), codes.cols, uchar(0));
  const int inner = grey.cols - 2;
  for (int r = 1; r < grey.rows - 1; ++r) {
    const T* above = grey.ptr<T>(r - 1) + 1;
    const T* row = grey.ptr<T>(r) + 1;
    const T* below = grey.ptr<T>(r + 1) + 1;
    uchar* out = codes.ptr<uchar>(r) + 1;
    for (int c = 0; c < inner; ++c) {
      const T centre = row[c];
      out[c] = uchar((above[c - 1] > centre) << 7 | (above[c] > centre) << 6 | (above[c + 1] > centre) << 5 |
                     (row[c + 1] > centre) << 4 | (below[c + 1] > centre) << 3 | (below[c] > centre) << 2 |
                     (below[c - 1] > centre) << 1 | (row[c - 1] > centre));
    }
  }
}

bool greyOf(const cv::Mat& image, cv::Mat& grey) {
  switch (image.channels()) {
    case 1:
      grey = image;
      return true;
    case 3:
      cv::cvtColor(image, grey, cv::COLOR_BGR2GRAY);
      return true;
    case 4:
      cv::cvtColor(image, grey, cv::COLOR_BGRA2GRAY);
      return true;
    default:
      return false;
  }
}

bool overlaps(const cv::Mat& a, const cv::Mat& b) { return a.datastart < b.dataend && b.datastart < a.dataend; }

}  // namespace

bool OLBP::run(const cv::Mat& image, cv::Mat& codes) {
  if (image.empty()) return false;
  try {
    cv::Mat grey;
    if (!greyOf(image, grey)) {
      LLKFLog("OLBP : %d channels are not an image it reads", image.channels());
      return false;
    }
    // Writing over the image being read would spoil the neighbours still to come.
    cv::Mat fresh;
    cv::Mat& out = overlaps(grey, codes) ? fresh : codes;
    out.create(grey.size(), CV_8UC1);
    switch (grey.depth()) {
      case CV_8U:
        codesOf<uchar>(grey, out);
        break;
      case CV_8S:
        codesOf<schar>(grey, out);
        break;
      case CV_16U:
        codesOf<ushort>(grey, out);
        break;
      case CV_16S:
        codesOf<short>(grey, out);
        break;
      case CV_32S:
        codesOf<int>(grey, out);
        break;
      case CV_32F:
        codesOf<float>(grey, out);
        break;
      case CV_64F:
        codesOf<double>(grey, out);
        break;
      default:
        LLKFLog("OLBP : pixel depth %d is not one it compares", grey.depth());
        return false;
    }
    if (&out == &fresh) fresh.copyTo(codes);
    return true;
  } catch (const std::exception& e) {
    LLKFLog("OLBP : %s", e.what());
    return false;
  }
}

}  // namespace lbplibrary

#pragma once
// The basic 3 × 3 local binary pattern. Each interior pixel's code has one bit per neighbour
// strictly greater than it: bit 7 top-left, 6 top, 5 top-right, 4 right, 3 bottom-right,
// 2 bottom, 1 bottom-left, 0 left. The border keeps code 0.
#include "modules/vision/seams/LBP.h"

namespace lbplibrary {

class OLBP : public LBP {
public:
  using LBP::run;
  // `codes` becomes an 8-bit image of the image's size (a buffer of that size and type is
  // written in place). A multi-channel image is read as BGR(A) and turned grey first; one
  // channel of any depth but 16-bit float is compared in its own type. False for an empty
  // image, an unsupported type or a failure inside OpenCV; nothing escapes.
  bool run(const cv::Mat& image, cv::Mat& codes) override;
};

}  // namespace lbplibrary

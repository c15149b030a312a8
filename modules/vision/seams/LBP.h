#pragma once
// The interface of a local binary pattern operator: codes describing each pixel's
// neighbourhood by which neighbours are brighter than it.
#include <opencv2/core.hpp>

#include <vector>

namespace lbplibrary {

class LBP {
public:
  virtual ~LBP() = default;
  // Fills `codes` with the pattern codes of `image`; false when nothing could be computed.
  virtual bool run(const cv::Mat& image, cv::Mat& codes) = 0;
  // Operators that answer several code images override this; the base computes none.
  virtual bool run(const cv::Mat& image, std::vector<cv::Mat>& codes) { return false; }
};

}  // namespace lbplibrary

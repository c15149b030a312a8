#pragma once
// Describes superpixels: for each label, its texture pattern (a histogram of local binary
// pattern codes), its outline polygon and its record, packed into a frame under "pattern",
// "supixel" and "polygon". Each computing thread has its own describer, whose scratch patches
// survive from image to image.
#include <vector>

#include "framework/substrate/MRKCFrame.h"
#include "modules/vision/seams/OLBP.h"
#include "modules/vision/segmenter/QAVTGRIDSegmenterJob.h"

class QAVCGRIDSegmenterDescriber {
public:
  // Fills the job's slots of the labels [first, last) (clipped to the job's count). A superpixel
  // no pixel carries, one whose box exceeds the patch of 3 × "spix.size" pixels a side (said on
  // the console), one without outline, and one that fails (logged) leave their slot null.
  void describe(const QAVTGRIDSegmenterJob& job, uint32_t first, uint32_t last) noexcept;

private:
  Ref<MRKCFrame> describeOne(const QAVTGRIDSegmenterJob& job, uint32_t label);
  // The outline, resampled as configured; empty when the superpixel has none.
  std::vector<cv::Point> outline(const QAVTGRIDSegmenterJob& job, const GridSeams::spixel_t& spixel,
                                 const cv::Mat& mask);
  void reserve(int side, uint32_t bins);

  cv::Mat mask_;   // 255 on the superpixel's pixels, relative to its box's top-left corner
  cv::Mat grey_;   // grey values over its box
  cv::Mat codes_;  // the local binary pattern codes of the grey patch
  std::vector<float> pattern_;
  std::vector<std::vector<cv::Point>> contours_;
  lbplibrary::OLBP olbp_;
};

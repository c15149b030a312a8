#pragma once
// The forms a superpixel travels in: its texture pattern, its outline and its 24-byte record
// (twelve signed 16-bit values: id, cx, cy, count, grey, blue, green, red, left, top, right,
// bottom; means and centroids truncated toward zero). The functions that make a term answer null
// when it cannot be had, and so have C++ linkage.
#include <cstdint>
#include <opencv2/core.hpp>

#include "framework/substrate/MRKCData.h"
#include "modules/vision/seams/GridSeams.h"

// The fields of the record, in order.
enum : uint32_t {
  kQAVSupixelId,
  kQAVSupixelCx,
  kQAVSupixelCy,
  kQAVSupixelCount,
  kQAVSupixelGrey,
  kQAVSupixelBlue,
  kQAVSupixelGreen,
  kQAVSupixelRed,
  kQAVSupixelLeft,
  kQAVSupixelTop,
  kQAVSupixelRight,
  kQAVSupixelBottom,
  kQAVSupixelFields
};

// Data of 32-bit floats holding a copy of count values.
Ref<MRKCData> QAVFGRIDSegmenterPatternToData(const float* values, uint32_t count);
// Data of signed 16-bit x, y pairs holding the first count points, each coordinate truncated to
// 16 bits (the segmenter publishes no image whose coordinates would not fit).
Ref<MRKCData> QAVFGRIDSegmenterPolygonToData(const cv::Point* points, uint32_t count);
// The record of the superpixel with these measures and id. A count beyond 16 bits is stored as
// the largest one (32767) instead of wrapping.
Ref<MRKCData> QAVFGRIDSegmenterSupixelToData(const GridSeams::spixel_t& measures, uint32_t id);

// Adds to bins[0..count) the histogram of the codes under the mask's set pixels, each code in bin
// min(code / (255 / count), count - 1), divided by the number of codes counted: on zeroed bins
// they then sum to 1 (and stay 0 when no code was counted). mask and codes are 8-bit
// one-channel images of one size. False, bins untouched, for anything else or count outside 1 to
// 255.
bool QAVFGRIDSegmenterComputePattern(const cv::Mat& mask, const cv::Mat& codes, float* bins, uint32_t count);

#include "modules/vision/segmenter/QAVFGRIDSegmenterPack.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// Truncated toward zero and kept within 16 bits.
int16_t field(double value) {
  constexpr double low = std::numeric_limits<int16_t>::min();
  constexpr double high = std::numeric_limits<int16_t>::max();
  return static_cast<int16_t>(std::clamp(value, low, high));
}

}  // namespace

Ref<MRKCData> QAVFGRIDSegmenterPatternToData(const float* values, uint32_t count) {
  if (!values && count) return nullptr;
  return MRKCData::dataWithFormat(kMRKDataReal32, values, count);
}

Ref<MRKCData> QAVFGRIDSegmenterPolygonToData(const cv::Point* points, uint32_t count) {
  if (!points && count) return nullptr;
  // Made in place and handed over, not copied.
  std::vector<uint8_t> bytes(size_t(count) * 2 * sizeof(int16_t));
  for (uint32_t i = 0; i < count; ++i) {
    const int16_t pair[2] = {static_cast<int16_t>(points[i].x), static_cast<int16_t>(points[i].y)};
    std::memcpy(bytes.data() + i * sizeof pair, pair, sizeof pair);
  }
  return MRKCData::dataWithBytes(kMRKDataSint16, std::move(bytes));
}

Ref<MRKCData> QAVFGRIDSegmenterSupixelToData(const GridSeams::spixel_t& measures, uint32_t id) {
  const float* colour = measures.colour;
  int16_t record[kQAVSupixelFields];
  record[kQAVSupixelId] = field(id);
  record[kQAVSupixelCx] = field(measures.centre[0]);
  record[kQAVSupixelCy] = field(measures.centre[1]);
  record[kQAVSupixelCount] = field(measures.count);
  record[kQAVSupixelGrey] = field((0.299 * colour[2] + 0.587 * colour[1] + 0.114 * colour[0]) / 3.0);
  record[kQAVSupixelBlue] = field(colour[0]);
  record[kQAVSupixelGreen] = field(colour[1]);
  record[kQAVSupixelRed] = field(colour[2]);
  record[kQAVSupixelLeft] = field(measures.xmin);
  record[kQAVSupixelTop] = field(measures.ymin);
  record[kQAVSupixelRight] = field(measures.xmax);
  record[kQAVSupixelBottom] = field(measures.ymax);
  return MRKCData::dataWithFormat(kMRKDataSint16, record, kQAVSupixelFields);
}

bool QAVFGRIDSegmenterComputePattern(const cv::Mat& mask, const cv::Mat& codes, float* bins, uint32_t count) {
  if (!bins || count < 1 || count > 255 || mask.type() != CV_8UC1 || codes.type() != CV_8UC1 ||
      mask.size() != codes.size())
    return false;
  // A histogram of all 256 codes first, without a branch per pixel; whole counts, as adding 1.0f
  // to a float bin stops counting past 2^24.
  uint32_t codeCounts[256] = {};
  for (int r = 0; r < mask.rows; ++r) {
    const uchar* set = mask.ptr<uchar>(r);
    const uchar* code = codes.ptr<uchar>(r);
    for (int c = 0; c < mask.cols; ++c) codeCounts[code[c]] += set[c] != 0;
  }
  // Bin b holds the codes from b × width on, the last bin every code left: min(code / width,
  // count - 1) without a division per code.
  const unsigned width = 255 / count;
  uint32_t binCounts[256] = {};
  uint32_t counted = 0;
  for (unsigned bin = 0, code = 0; bin < count; ++bin) {
    const unsigned end = bin + 1 == count ? 256 : code + width;
    for (; code < end; ++code) binCounts[bin] += codeCounts[code];
    counted += binCounts[bin];
  }
  if (counted == 0) return true;
  for (uint32_t bin = 0; bin < count; ++bin) bins[bin] += float(binCounts[bin]) / float(counted);
  return true;
}

#include "modules/vision/segmenter/QAVCGRIDSegmenterDescriber.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstring>
#include <exception>

#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFLog.h"
#include "imagekit/curves/CurveResampling.h"
#include "modules/vision/segmenter/QAVFGRIDSegmenterPack.h"

namespace {

// The polygon of a superpixel too small to have an outline: its centroid, repeated.
std::vector<cv::Point> centroidPolygon(const GridSeams::spixel_t& spixel, uint32_t polysize) {
  const cv::Point centroid(int(spixel.centre[0]), int(spixel.centre[1]));
  return std::vector<cv::Point>(std::max<uint32_t>(polysize, 2), centroid);
}

}  // namespace

void QAVCGRIDSegmenterDescriber::describe(const QAVTGRIDSegmenterJob& job, uint32_t first, uint32_t last) noexcept {
  if (!job.image || !job.seams || !job.spixels || !job.slots) return;
  last = std::min(last, job.count);
  for (uint32_t label = first; label < last; ++label) {
    try {
      job.slots[label] = describeOne(job, label);
    } catch (const std::exception& error) {
      job.slots[label] = nullptr;
      LLKFLog("QAVCGRIDSegmenter : superpixel %u : %s", label, error.what());
    }
  }
}

void QAVCGRIDSegmenterDescriber::reserve(int side, uint32_t bins) {
  if (mask_.rows != side || grey_.rows != side || codes_.rows != side) {
    mask_.create(side, side, CV_8UC1);
    grey_.create(side, side, CV_8UC1);
    codes_.create(side, side, CV_8UC1);
  }
  pattern_.resize(bins);
}

Ref<MRKCFrame> QAVCGRIDSegmenterDescriber::describeOne(const QAVTGRIDSegmenterJob& job, uint32_t label) {
  const GridSeams::spixel_t& spixel = job.spixels[label];
  if (spixel.count == 0) return nullptr;
  const QAVTGRIDSegmenterConfig& config = job.config;
  const int side = 3 * int(config.spixsize);
  const int width = spixel.xmax - spixel.xmin;
  const int height = spixel.ymax - spixel.ymin;
  if (width >= side || height >= side) {
    LLKFConsolePrintf("QAVCGRIDSegmenter - supixel%u size %dx%d, expected max %dx%d", label, width + 1, height + 1,
                      side, side);
    return nullptr;
  }
  reserve(side, config.lbpdsize);

  // The box and one more row and column, zero like the rest of a whole patch would be: the codes
  // at the box's last row and column then come out as over the whole patch.
  const cv::Rect patch(0, 0, std::min(width + 2, side), std::min(height + 2, side));
  cv::Mat mask = mask_(patch), grey = grey_(patch), codes = codes_(patch);
  for (int r = 0; r < patch.height; ++r) {
    std::memset(mask.ptr(r), 0, size_t(patch.width));
    std::memset(grey.ptr(r), 0, size_t(patch.width));
  }
  if (!job.seams->extract(*job.image, mask, grey, spixel, label) || !olbp_.run(grey, codes)) return nullptr;
  std::fill(pattern_.begin(), pattern_.end(), 0.0f);
  if (!QAVFGRIDSegmenterComputePattern(mask, codes, pattern_.data(), config.lbpdsize)) return nullptr;

  const std::vector<cv::Point> polygon = outline(job, spixel, mask);
  if (polygon.empty()) return nullptr;

  Ref<MRKCData> pattern = QAVFGRIDSegmenterPatternToData(pattern_.data(), config.lbpdsize);
  Ref<MRKCData> supixel = QAVFGRIDSegmenterSupixelToData(spixel, label);
  Ref<MRKCData> points = QAVFGRIDSegmenterPolygonToData(polygon.data(), uint32_t(polygon.size()));
  Ref<MRKCFrame> frame = MRKCFrame::frameWithCapacity(3);
  if (!pattern || !supixel || !points || !frame || frame->store(pattern.get(), "pattern") != 0 ||
      frame->store(supixel.get(), "supixel") != 0 || frame->store(points.get(), "polygon") != 0)
    return nullptr;
  return frame;
}

std::vector<cv::Point> QAVCGRIDSegmenterDescriber::outline(const QAVTGRIDSegmenterJob& job,
                                                           const GridSeams::spixel_t& spixel, const cv::Mat& mask) {
  const QAVTGRIDSegmenterConfig& config = job.config;
  if (spixel.count < 3) return centroidPolygon(spixel, config.polysize);
  cv::findContours(mask, contours_, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE, cv::Point(spixel.xmin, spixel.ymin));
  if (contours_.empty()) return {};
  std::vector<cv::Point> points;
  if (config.polyaccy < 1.0)
    cv::approxPolyDP(contours_[0], points, config.polyaccy * cv::arcLength(contours_[0], true), true);
  else points.swap(contours_[0]);
  if (points.size() < 2) return centroidPolygon(spixel, config.polysize);
  points.push_back(points.front());
  // A polygon that cannot be resampled keeps its outline.
  if (config.polysize != 0 && config.polysize != points.size()) Resample(points, int(config.polysize));
  return points;
}

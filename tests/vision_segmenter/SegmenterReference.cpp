#include "tests/vision_segmenter/SegmenterReference.h"

#include <climits>
#include <cmath>
#include <map>
#include <sstream>
#include <vector>

#include "tests/vision_segmenter/SegmenterTestKit.h"

namespace {

struct Measures {
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
  uint64_t count = 0, sumX = 0, sumY = 0, sum[3] = {};
  float mean(int c) const { return float(double(sum[c]) / double(count)); }
};

std::vector<float> referencePattern(const cv::Mat& image, const cv::Mat& labels, unsigned label, const Measures& m,
                                    int side, unsigned bins) {
  cv::Mat grey = cv::Mat::zeros(side, side, CV_8UC1), mask = cv::Mat::zeros(side, side, CV_8UC1);
  for (int y = m.top; y <= m.bottom; ++y)
    for (int x = m.left; x <= m.right; ++x) {
      const cv::Vec3b p = image.at<cv::Vec3b>(y, x);
      grey.at<uchar>(y - m.top, x - m.left) = uchar((114u * p[0] + 587u * p[1] + 299u * p[2]) / 3000u);
      if (labels.at<uint16_t>(y, x) == label) mask.at<uchar>(y - m.top, x - m.left) = 255;
    }
  std::vector<float> pattern(bins, 0.0f);
  std::vector<unsigned> counts(bins, 0);
  unsigned counted = 0;
  for (int r = 0; r < side; ++r)
    for (int c = 0; c < side; ++c) {
      if (!mask.at<uchar>(r, c)) continue;
      unsigned code = 0;
      if (r > 0 && c > 0 && r < side - 1 && c < side - 1) {
        const uchar centre = grey.at<uchar>(r, c);
        const int dr[8] = {-1, -1, -1, 0, 1, 1, 1, 0}, dc[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
        for (int k = 0; k < 8; ++k) code |= unsigned(grey.at<uchar>(r + dr[k], c + dc[k]) > centre) << (7 - k);
      }
      ++counts[std::min(code / (255 / bins), bins - 1)];
      ++counted;
    }
  for (unsigned b = 0; b < bins; ++b) pattern[b] = counted ? float(counts[b]) / float(counted) : 0.0f;
  return pattern;
}

}  // namespace

std::string SegmenterReferenceCompare(MRKCStatement* published, const cv::Mat& image,
                                      const QAVTGRIDSegmenterConfig& config) {
  std::ostringstream problem;
  const cv::Mat labels = labelsOf(published, image.size());
  if (labels.empty()) return "no supixelmask of the image's size";
  const cv::Mat painted = paintedOf(published, image.size());
  if (painted.empty()) return "no painted image of the image's size";

  std::map<unsigned, Measures> measures;
  for (int y = 0; y < image.rows; ++y)
    for (int x = 0; x < image.cols; ++x) {
      Measures& m = measures[labels.at<uint16_t>(y, x)];
      m.left = std::min(m.left, x), m.right = std::max(m.right, x);
      m.top = std::min(m.top, y), m.bottom = std::max(m.bottom, y);
      ++m.count, m.sumX += unsigned(x), m.sumY += unsigned(y);
      for (int c = 0; c < 3; ++c) m.sum[c] += image.at<cv::Vec3b>(y, x)[c];
    }

  std::map<int, PublishedSuperpixel> byId;
  for (PublishedSuperpixel& superpixel : superpixelsOf(published)) {
    if (superpixel.record.size() != 12) return "a record is not 12 fields";
    const int id = superpixel.record[0];
    if (!measures.count(unsigned(id))) return "superpixel " + std::to_string(id) + " holds no pixel";
    if (!byId.emplace(id, std::move(superpixel)).second) return "superpixel " + std::to_string(id) + " twice";
  }

  const int side = 3 * int(config.spixsize);
  for (const auto& [label, m] : measures) {
    auto found = byId.find(int(label));
    if (found == byId.end()) return "superpixel " + std::to_string(label) + " is missing";
    const PublishedSuperpixel& got = found->second;
    const float cx = float(double(m.sumX) / double(m.count)), cy = float(double(m.sumY) / double(m.count));
    const double grey = (0.299 * m.mean(2) + 0.587 * m.mean(1) + 0.114 * m.mean(0)) / 3.0;
    const std::vector<int16_t> record{
        int16_t(label),  int16_t(cx),        int16_t(cy),        int16_t(std::min<uint64_t>(m.count, 32767)),
        int16_t(grey),   int16_t(m.mean(0)), int16_t(m.mean(1)), int16_t(m.mean(2)),
        int16_t(m.left), int16_t(m.top),     int16_t(m.right),   int16_t(m.bottom)};
    if (got.record != record) return "superpixel " + std::to_string(label) + ": record differs";
    const std::vector<float> pattern = referencePattern(image, labels, label, m, side, config.lbpdsize);
    if (got.pattern != pattern) return "superpixel " + std::to_string(label) + ": pattern differs";
    if (config.polysize != 0 && got.polygon.size() != std::max<size_t>(config.polysize, 2))
      return "superpixel " + std::to_string(label) + ": polygon of " + std::to_string(got.polygon.size()) + " points";
    // Resampled points are truncated, so one placed a hair left of or above an edge lands a
    // pixel beyond it.
    for (const cv::Point& p : got.polygon)
      if (p.x < m.left - 1 || p.x > m.right || p.y < m.top - 1 || p.y > m.bottom)
        return "superpixel " + std::to_string(label) + ": polygon leaves its box";
  }

  for (int y = 0; y < image.rows; ++y)
    for (int x = 0; x < image.cols; ++x) {
      const Measures& m = measures[labels.at<uint16_t>(y, x)];
      for (int c = 0; c < 3; ++c)
        if (painted.at<cv::Vec3b>(y, x)[c] != cv::saturate_cast<uchar>(m.mean(c))) {
          problem << "painted pixel (" << x << ", " << y << ") is not its superpixel's mean colour";
          return problem.str();
        }
    }
  return "";
}

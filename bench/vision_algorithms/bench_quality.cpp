#include "bench/vision_algorithms/bench_quality.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

#include <opencv2/imgproc.hpp>

namespace {

// 255 where a pixel's right or lower neighbour has another label.
cv::Mat boundaries(const cv::Mat& labels) {
  cv::Mat edges = cv::Mat::zeros(labels.size(), CV_8UC1);
  for (int y = 0; y < labels.rows; ++y)
    for (int x = 0; x < labels.cols; ++x) {
      const int label = labels.at<int>(y, x);
      if ((x + 1 < labels.cols && labels.at<int>(y, x + 1) != label) ||
          (y + 1 < labels.rows && labels.at<int>(y + 1, x) != label))
        edges.at<uchar>(y, x) = 255;
    }
  return edges;
}

}  // namespace

double boundaryRecall(const cv::Mat& truth, const cv::Mat& labels, int tolerance) {
  const cv::Mat truthEdges = boundaries(truth);
  cv::Mat reach;
  cv::dilate(boundaries(labels), reach,
             cv::getStructuringElement(cv::MORPH_RECT, {2 * tolerance + 1, 2 * tolerance + 1}));
  const int total = cv::countNonZero(truthEdges);
  cv::Mat found;
  cv::bitwise_and(truthEdges, reach, found);
  return total ? double(cv::countNonZero(found)) / total : 1.0;
}

double undersegmentationError(const cv::Mat& truth, const cv::Mat& labels) {
  std::map<std::pair<int, int>, long> overlap;
  std::unordered_map<int, long> segmentSize;
  for (int y = 0; y < labels.rows; ++y)
    for (int x = 0; x < labels.cols; ++x) {
      const int segment = labels.at<int>(y, x);
      overlap[{segment, truth.at<int>(y, x)}]++;
      segmentSize[segment]++;
    }
  long error = 0;
  for (const auto& [key, inside] : overlap) error += std::min(inside, segmentSize[key.first] - inside);
  return double(error) / double(labels.total());
}

int regionCount(const cv::Mat& labels) {
  std::set<int> seen(labels.begin<int>(), labels.end<int>());
  return int(seen.size());
}

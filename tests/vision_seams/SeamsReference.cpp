#include "tests/vision_seams/SeamsReference.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace reference {
namespace {

// Border rule of OpenCV's filters: mirror without repeating the edge pixel.
int reflect101(int i, int n) {
  if (n == 1) return 0;
  while (i < 0 || i >= n) i = i < 0 ? -i : 2 * n - 2 - i;
  return i;
}

// OpenCV's BGR to grey for 8 bits: fixed point with 15 fractional bits.
cv::Mat grey(const cv::Mat& bgr) {
  cv::Mat out(bgr.size(), CV_8UC1);
  for (int y = 0; y < bgr.rows; ++y)
    for (int x = 0; x < bgr.cols; ++x) {
      const cv::Vec3b p = bgr.at<cv::Vec3b>(y, x);
      out.at<uchar>(y, x) = uchar((p[0] * 3735 + p[1] * 19235 + p[2] * 9798 + 16384) >> 15);
    }
  return out;
}

// Cumulative sums and seams of one direction over an energy image, seams marked in `mask`.
void seams(const cv::Mat& e, int step, int cells, float stay, cv::Mat& mask) {
  const int width = e.cols, height = e.rows, half = step / 2;
  auto forbidden = [&](int x) { return (x + 1) % step == 0 && x + 1 < cells * step; };
  auto penalty = [&](int x) { return stay * float(std::abs((x + 1) % step - half)) / float(half); };
  cv::Mat sum(e.size(), CV_32FC1);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (forbidden(x)) {
        sum.at<float>(y, x) = FLT_MAX;
        continue;
      }
      float value = e.at<float>(y, x) + penalty(x);
      if (y > 0) {
        float least = FLT_MAX;
        for (int n = x - 1; n <= x + 1; ++n)
          if (n >= 0 && n < width) least = std::min(least, std::min(sum.at<float>(y - 1, n), FLT_MAX));
        value = value + least;
      }
      sum.at<float>(y, x) = std::min(value, FLT_MAX);
    }
  for (int i = 0; i < cells; ++i) {
    const int first = i * step;
    const int end = i == cells - 1 ? width : (i + 1) * step - 1;
    int x = first;
    for (int c = first; c < end; ++c)
      if (sum.at<float>(height - 1, c) < sum.at<float>(height - 1, x)) x = c;
    mask.at<uchar>(height - 1, x) = 255;
    for (int y = height - 2; y >= 0; --y) {
      int best = -1;
      for (int n = x - 1; n <= x + 1; ++n) {
        if (n < first || n >= end) continue;
        if (best < 0 || sum.at<float>(y, n) < sum.at<float>(y, best)) best = n;
      }
      x = best;
      mask.at<uchar>(y, x) = 255;
    }
  }
}

}  // namespace

cv::Mat energy(const cv::Mat& bgr) {
  const cv::Mat g = grey(bgr);
  const int w = g.cols, h = g.rows;
  auto at = [&](int y, int x) { return int(g.at<uchar>(reflect101(y, h), reflect101(x, w))); };
  const int weight[3] = {1, 2, 1};
  cv::Mat edges(g.size(), CV_8UC1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int gx = 0, gy = 0;
      for (int d = -1; d <= 1; ++d) {
        gx += weight[d + 1] * (at(y + d, x + 1) - at(y + d, x - 1));
        gy += weight[d + 1] * (at(y + 1, x + d) - at(y - 1, x + d));
      }
      const int ax = std::min(std::abs(gx), 255), ay = std::min(std::abs(gy), 255);
      edges.at<uchar>(y, x) = uchar(std::nearbyint(0.5f * float(ax) + 0.5f * float(ay)));
    }
  double lo = 0, hi = 0;
  cv::minMaxLoc(edges, &lo, &hi);
  cv::Mat out(g.size(), CV_32FC1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int v = edges.at<uchar>(y, x);
      out.at<float>(y, x) = 1.0f - (hi > lo ? float(v - lo) / float(hi - lo) : 0.0f);
    }
  return out;
}

Segmentation segment(const cv::Mat& bgr, int stepX, int stepY, float stay) {
  Segmentation s;
  const cv::Mat e = energy(bgr);
  const int w = bgr.cols, h = bgr.rows, cellsX = w / stepX, cellsY = h / stepY;
  s.vertical = cv::Mat::zeros(bgr.size(), CV_8UC1);
  seams(e, stepX, cellsX, stay, s.vertical);
  cv::Mat horizontalT = cv::Mat::zeros(w, h, CV_8UC1);
  seams(e.t(), stepY, cellsY, stay, horizontalT);
  s.horizontal = horizontalT.t();
  s.labels = cv::Mat(bgr.size(), CV_16UC1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int column = 0, row = 0;
      for (int c = 0; c < x; ++c) column += s.vertical.at<uchar>(y, c) != 0;
      for (int r = 0; r < y; ++r) row += s.horizontal.at<uchar>(r, x) != 0;
      const unsigned label = unsigned((cellsX + 1) * row + column);
      s.labels.at<std::uint16_t>(y, x) = std::uint16_t(label);
      s.count = std::max(s.count, label + 1);
    }
  return s;
}

std::vector<Record> measure(const cv::Mat& bgr, const cv::Mat& labels, unsigned count) {
  std::vector<Record> out(count, Record{INT32_MAX, 0, INT32_MAX, 0, 0, 0, {0, 0, 0}, 0});
  for (int y = 0; y < labels.rows; ++y)
    for (int x = 0; x < labels.cols; ++x) {
      const unsigned l = labels.at<std::uint16_t>(y, x);
      if (l >= count) continue;
      Record& r = out[l];
      r.xmin = std::min(r.xmin, x);
      r.xmax = std::max(r.xmax, x);
      r.ymin = std::min(r.ymin, y);
      r.ymax = std::max(r.ymax, y);
      r.cx += x;
      r.cy += y;
      for (int c = 0; c < 3; ++c) r.colour[c] += bgr.at<cv::Vec3b>(y, x)[c];
      ++r.count;
    }
  for (Record& r : out) {
    if (r.count == 0) continue;
    r.cx /= r.count;
    r.cy /= r.count;
    for (double& c : r.colour) c /= r.count;
  }
  return out;
}

}  // namespace reference

// Grid seams: energy, one seam per cell in each direction, and the labels they make.
#include "modules/vision/seams/GridSeams.h"

#include "framework/core/LLKFLog.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <vector>

unsigned GridSeams::superpixels(int width, int height, int stepX, int stepY) noexcept {
  if (width < 0 || height < 0 || stepX < 1 || stepY < 1) return 0;
  const std::uint64_t cells = std::uint64_t(width / stepX + 1) * std::uint64_t(height / stepY + 1);
  return unsigned(std::min<std::uint64_t>(cells, UINT32_MAX));
}

unsigned GridSeams::process(const cv::Mat& image, int stepX, int stepY, float stay,
                            std::span<std::uint16_t> labelBuffer) noexcept {
  forget();
  if (image.empty()) return 0;
  if (image.type() != CV_8UC3) {
    LLKFLog("GridSeams : image must have three 8-bit channels");
    return 0;
  }
  if (stepX < kMinStep || stepY < kMinStep) {
    LLKFLog("GridSeams : grid step %dx%d is below %d", stepX, stepY, kMinStep);
    return 0;
  }
  if (!std::isfinite(stay) || stay < 0.0f) {
    LLKFLog("GridSeams : stay weight %g is not a finite value of 0 or more", double(stay));
    return 0;
  }
  const unsigned possible = superpixels(image.cols, image.rows, stepX, stepY);
  if (possible > kMaxLabels) {
    LLKFLog("GridSeams : %u superpixels do not fit 16-bit labels", possible);
    return 0;
  }
  if (!labelBuffer.empty() && labelBuffer.size() < image.total()) {
    LLKFLog("GridSeams : label buffer holds %zu values, %zu needed", labelBuffer.size(), image.total());
    return 0;
  }
  try {
    size_ = image.size();
    stepX_ = stepX;
    stepY_ = stepY;
    cellsX_ = size_.width / stepX;
    cellsY_ = size_.height / stepY;
    stay_ = stay;
    verticalMask_.create(size_, CV_8UC1);
    verticalMask_.setTo(0);
    horizontalMask_.create(size_, CV_8UC1);
    horizontalMask_.setTo(0);
    computeEnergy(image);
    processOne(stepX_, cellsX_, 0);
    processOne(stepY_, cellsY_, 1);
    cv::bitwise_or(verticalMask_, horizontalMask_, seamMask_);
    if (labelBuffer.empty()) labels_.create(size_, CV_16UC1);
    else labels_ = cv::Mat(size_, CV_16UC1, labelBuffer.data());
    return getLabelMap();
  } catch (const cv::Exception& e) {
    LLKFLog("GridSeams : %s", e.what());
  } catch (const std::exception& e) {
    LLKFLog("GridSeams : %s", e.what());
  }
  forget();
  return 0;
}

namespace {

// Mirror without repeating the edge pixel, as OpenCV's filters do by default.
int reflect(int i, int n) {
  if (n == 1) return 0;
  return i < 0 ? -i : i >= n ? 2 * n - 2 - i : i;
}

// (|Sobel x| + |Sobel y|) / 2 of a grey image, each derivative saturated to 255 and the mean
// rounded half to even: the same numbers as OpenCV's Sobel (16-bit), convertScaleAbs and
// addWeighted(0.5, 0.5), in one pass.
void edgesOf(const cv::Mat& grey, cv::Mat& edges) {
  const int width = grey.cols, height = grey.rows;
  edges.create(grey.size(), CV_8UC1);
  const auto edge = [](int gx, int gy) {
    const int sum = std::min(std::abs(gx), 255) + std::min(std::abs(gy), 255);
    const int half = sum >> 1;
    return uchar(half + (sum & half & 1));
  };
  for (int y = 0; y < height; ++y) {
    const uchar* up = grey.ptr<uchar>(reflect(y - 1, height));
    const uchar* mid = grey.ptr<uchar>(y);
    const uchar* down = grey.ptr<uchar>(reflect(y + 1, height));
    uchar* out = edges.ptr<uchar>(y);
    const auto at = [&](int x) {
      const int l = reflect(x - 1, width), r = reflect(x + 1, width);
      const int gx = (up[r] - up[l]) + 2 * (mid[r] - mid[l]) + (down[r] - down[l]);
      const int gy = (down[l] - up[l]) + 2 * (down[x] - up[x]) + (down[r] - up[r]);
      return edge(gx, gy);
    };
    out[0] = at(0);
    for (int x = 1; x < width - 1; ++x) {
      const int gx = (up[x + 1] - up[x - 1]) + 2 * (mid[x + 1] - mid[x - 1]) + (down[x + 1] - down[x - 1]);
      const int gy = (down[x - 1] - up[x - 1]) + 2 * (down[x] - up[x]) + (down[x + 1] - up[x + 1]);
      out[x] = edge(gx, gy);
    }
    if (width > 1) out[width - 1] = at(width - 1);
  }
}

}  // namespace

// energy = 1 − min-max normalised (|∂x| + |∂y|) / 2, so strong edges are cheap to cut along.
// The normalisation is a table over the 256 possible values, computed as
// (value − min) / (max − min) in float, so every machine gets the same bits.
void GridSeams::computeEnergy(const cv::Mat& image) {
  cv::cvtColor(image, grey_, cv::COLOR_BGR2GRAY);
  edgesOf(grey_, edges_);
  double lowest = 0.0, highest = 0.0;
  cv::minMaxLoc(edges_, &lowest, &highest);
  cv::Mat table(1, 256, CV_32FC1);
  for (int v = 0; v < 256; ++v) {
    const float normalised = highest > lowest ? float(v - lowest) / float(highest - lowest) : 0.0f;
    table.at<float>(v) = 1.0f - normalised;
  }
  cv::LUT(edges_, table, energy_);
}

// The horizontal seams are the vertical seams of the transposed energy.
void GridSeams::processOne(int step, int cells, int which) {
  if (which == 0) {
    calculateEnergyMap(energy_, step, cells);
  } else {
    cv::transpose(energy_, transposed_);
    calculateEnergyMap(transposed_, step, cells);
  }
  getSeamMap(step, cells, which);
}

// Seam-carving sums, with the last column of every cell but the last walled off (largest
// float) and a penalty growing with the distance from the cell's middle.
void GridSeams::calculateEnergyMap(const cv::Mat& energy, int step, int cells) {
  const int width = energy.cols;
  const int height = energy.rows;
  const int half = step / 2;
  // Both directions share one store, viewed with their own shape.
  cumulativeStore_.resize(energy.total());
  cumulative_ = cv::Mat(energy.size(), CV_32FC1, cumulativeStore_.data());
  std::vector<float> penalty(static_cast<size_t>(width));
  for (int x = 0; x < width; ++x) {
    const bool forbidden = (x + 1) % step == 0 && x + 1 < cells * step;
    const int k = (x + 1) % step;
    // On a forbidden column the sum rounds to the largest float and is capped there.
    penalty[size_t(x)] = forbidden ? FLT_MAX : stay_ * float(std::abs(k - half)) / float(half);
  }
  const float* cost = penalty.data();
  const float* e = energy.ptr<float>(0);
  float* row = cumulative_.ptr<float>(0);
  for (int x = 0; x < width; ++x) row[x] = std::min(e[x] + cost[x], FLT_MAX);
  for (int y = 1; y < height; ++y) {
    const float* above = cumulative_.ptr<float>(y - 1);
    e = energy.ptr<float>(y);
    row = cumulative_.ptr<float>(y);
    if (width == 1) {
      row[0] = std::min(e[0] + cost[0] + above[0], FLT_MAX);
      continue;
    }
    row[0] = std::min(e[0] + cost[0] + std::min(above[0], above[1]), FLT_MAX);
    for (int x = 1; x < width - 1; ++x) {
      const float least = std::min(std::min(above[x - 1], above[x]), above[x + 1]);
      row[x] = std::min(e[x] + cost[x] + least, FLT_MAX);
    }
    const int last = width - 1;
    row[last] = std::min(e[last] + cost[last] + std::min(above[last - 1], above[last]), FLT_MAX);
  }
}

// One seam per cell: from the cheapest end in the last row, up through the cheapest of the
// three pixels above, never leaving the cell's columns (which exclude its forbidden column).
// All cells climb together, row by row, so the sums are read in memory order. A horizontal
// seam, found on the transposed sums, is marked back in image orientation.
void GridSeams::getSeamMap(int step, int cells, int which) {
  if (cells == 0) return;
  const int width = cumulative_.cols;
  const int height = cumulative_.rows;
  const auto mark = [this, which](int row, int x) {
    if (which == 0) verticalMask_.ptr<uchar>(row)[x] = 255;
    else horizontalMask_.ptr<uchar>(x)[row] = 255;
  };
  const auto first = [step](int i) { return i * step; };
  const auto end = [step, cells, width](int i) { return i == cells - 1 ? width : (i + 1) * step - 1; };
  std::vector<int> seam(static_cast<size_t>(cells));
  if (which == 0) verticalSeamAt_.resize(size_t(height) * size_t(cells));
  const auto keep = [&](int row) {
    if (which == 0) std::copy(seam.begin(), seam.end(), verticalSeamAt_.begin() + ptrdiff_t(row) * cells);
  };
  const float* bottom = cumulative_.ptr<float>(height - 1);
  for (int i = 0; i < cells; ++i) {
    int x = first(i);
    for (int c = x + 1; c < end(i); ++c)
      if (bottom[c] < bottom[x]) x = c;
    seam[size_t(i)] = x;
    mark(height - 1, x);
  }
  keep(height - 1);
  for (int y = height - 2; y >= 0; --y) {
    const float* row = cumulative_.ptr<float>(y);
    for (int i = 0; i < cells; ++i) {
      // Branch-free: the comparisons go either way at random. Where x + 1 leaves the cell,
      // x itself is compared again, which never replaces the best.
      const int x = seam[size_t(i)];
      int best = x > first(i) ? x - 1 : x;
      best = row[x] < row[best] ? x : best;
      const int right = std::min(x + 1, end(i) - 1);
      best = row[right] < row[best] ? right : best;
      seam[size_t(i)] = best;
      mark(y, best);
    }
    keep(y);
  }
}

// A pixel's column index is the number of vertical-seam pixels left of it in its row, its row
// index the number of horizontal-seam pixels above it in its column (a seam pixel belongs to
// the region before it). The vertical seams' columns and a running count per column make
// this one pass over the image.
unsigned GridSeams::getLabelMap() {
  const int width = size_.width;
  const int cells = cellsX_;
  const std::uint16_t stride = std::uint16_t(cells + 1);
  std::vector<std::uint16_t> rowBase(static_cast<size_t>(width), 0);  // stride × row index
  std::uint16_t largest = 0;
  for (int y = 0; y < size_.height; ++y) {
    const int* seamAt = verticalSeamAt_.data() + size_t(y) * size_t(cells);
    const uchar* horizontal = horizontalMask_.ptr<uchar>(y);
    std::uint16_t* out = labels_.ptr<std::uint16_t>(y);
    // Column index c runs from just after seam c − 1 up to seam c itself.
    for (int c = 0, first = 0; c <= cells; ++c) {
      const int last = c < cells ? seamAt[c] : width - 1;
      for (int x = first; x <= last; ++x) out[x] = std::uint16_t(rowBase[size_t(x)] + c);
      first = last + 1;
    }
    for (int x = 0; x < width; ++x) {
      largest = std::max(largest, out[x]);
      rowBase[size_t(x)] = std::uint16_t(rowBase[size_t(x)] + (horizontal[x] ? stride : 0));
    }
  }
  return unsigned(largest) + 1;
}

// The scratch images stay for the next image; without labels nothing is shown of them.
void GridSeams::forget() noexcept {
  labels_.release();
  cellsX_ = 0;
  cellsY_ = 0;
}

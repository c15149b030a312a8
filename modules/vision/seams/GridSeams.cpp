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
    verticalMask_ = cv::Mat::zeros(size_, CV_8UC1);
    horizontalMask_ = cv::Mat::zeros(size_, CV_8UC1);
    computeEnergy(image);
    processOne(stepX_, cellsX_, 0);
    processOne(stepY_, cellsY_, 1);
    cv::bitwise_or(verticalMask_, horizontalMask_, seamMask_);
    if (labelBuffer.empty())
      labels_.create(size_, CV_16UC1);
    else
      labels_ = cv::Mat(size_, CV_16UC1, labelBuffer.data());
    return getLabelMap();
  } catch (const cv::Exception& e) {
    LLKFLog("GridSeams : %s", e.what());
  } catch (const std::exception& e) {
    LLKFLog("GridSeams : %s", e.what());
  }
  forget();
  return 0;
}

// energy = 1 − min-max normalised (|∂x| + |∂y|) / 2, so strong edges are cheap to cut along.
// The normalisation is a table over the 256 possible values, computed as
// (value − min) / (max − min) in float, so every machine gets the same bits.
void GridSeams::computeEnergy(const cv::Mat& image) {
  cv::cvtColor(image, grey_, cv::COLOR_BGR2GRAY);
  cv::Mat gx16, gy16, gx, gy, edges;
  cv::Sobel(grey_, gx16, CV_16S, 1, 0, 3);
  cv::Sobel(grey_, gy16, CV_16S, 0, 1, 3);
  cv::convertScaleAbs(gx16, gx);
  cv::convertScaleAbs(gy16, gy);
  cv::addWeighted(gx, 0.5, gy, 0.5, 0.0, edges);
  double lowest = 0.0, highest = 0.0;
  cv::minMaxLoc(edges, &lowest, &highest);
  cv::Mat table(1, 256, CV_32FC1);
  for (int v = 0; v < 256; ++v) {
    const float normalised =
        highest > lowest ? float(v - lowest) / float(highest - lowest) : 0.0f;
    table.at<float>(v) = 1.0f - normalised;
  }
  cv::LUT(edges, table, energy_);
}

// The horizontal seams are the vertical seams of the transposed energy.
void GridSeams::processOne(int step, int cells, int which) {
  if (which == 0) {
    calculateEnergyMap(energy_, step, cells);
    getSeamMap(step, cells, verticalMask_);
    return;
  }
  cv::Mat transposed;
  cv::transpose(energy_, transposed);
  calculateEnergyMap(transposed, step, cells);
  cv::Mat mask = cv::Mat::zeros(transposed.size(), CV_8UC1);
  getSeamMap(step, cells, mask);
  cv::transpose(mask, horizontalMask_);
}

// Seam-carving sums, with the last column of every cell but the last walled off (largest
// float) and a penalty growing with the distance from the cell's middle.
void GridSeams::calculateEnergyMap(const cv::Mat& energy, int step, int cells) {
  const int width = energy.cols;
  const int height = energy.rows;
  const int half = step / 2;
  cumulative_.create(energy.size(), CV_32FC1);
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
// All cells climb together, row by row, so the sums are read in memory order.
void GridSeams::getSeamMap(int step, int cells, cv::Mat& mask) {
  if (cells == 0) return;
  const int width = cumulative_.cols;
  const int height = cumulative_.rows;
  const auto first = [step](int i) { return i * step; };
  const auto end = [step, cells, width](int i) { return i == cells - 1 ? width : (i + 1) * step - 1; };
  std::vector<int> seam(static_cast<size_t>(cells));
  const float* bottom = cumulative_.ptr<float>(height - 1);
  uchar* marks = mask.ptr<uchar>(height - 1);
  for (int i = 0; i < cells; ++i) {
    int x = first(i);
    for (int c = x + 1; c < end(i); ++c)
      if (bottom[c] < bottom[x]) x = c;
    seam[size_t(i)] = x;
    marks[x] = 255;
  }
  for (int y = height - 2; y >= 0; --y) {
    const float* row = cumulative_.ptr<float>(y);
    marks = mask.ptr<uchar>(y);
    for (int i = 0; i < cells; ++i) {
      const int x = seam[size_t(i)];
      int best = x > first(i) ? x - 1 : x;
      if (row[x] < row[best]) best = x;
      if (x + 1 < end(i) && row[x + 1] < row[best]) best = x + 1;
      seam[size_t(i)] = best;
      marks[best] = 255;
    }
  }
}

// A pixel's column index is the number of vertical-seam pixels left of it in its row, its row
// index the number of horizontal-seam pixels above it in its column (a seam pixel belongs to
// the region before it). Running counts make this one pass over the image.
unsigned GridSeams::getLabelMap() {
  const int width = size_.width;
  const unsigned stride = unsigned(cellsX_) + 1;
  std::vector<unsigned> rowIndex(static_cast<size_t>(width), 0);
  unsigned largest = 0;
  for (int y = 0; y < size_.height; ++y) {
    const uchar* vertical = verticalMask_.ptr<uchar>(y);
    const uchar* horizontal = horizontalMask_.ptr<uchar>(y);
    std::uint16_t* out = labels_.ptr<std::uint16_t>(y);
    unsigned columnIndex = 0;
    for (int x = 0; x < width; ++x) {
      const unsigned label = stride * rowIndex[size_t(x)] + columnIndex;
      out[x] = std::uint16_t(label);
      largest = std::max(largest, label);
      columnIndex += vertical[x] != 0;
      rowIndex[size_t(x)] += horizontal[x] != 0;
    }
  }
  return largest + 1;
}

void GridSeams::forget() noexcept {
  labels_.release();
  verticalMask_.release();
  horizontalMask_.release();
  seamMask_.release();
  cellsX_ = 0;
  cellsY_ = 0;
}

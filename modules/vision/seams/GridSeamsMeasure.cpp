// Reading the labels back: superpixel measures, painted views and one superpixel's cut-out.
#include "modules/vision/seams/GridSeams.h"

#include "framework/core/LLKFLog.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <exception>
#include <vector>

namespace {

bool fitsPaint(const cv::Mat& image, const cv::Mat& paint) {
  if (paint.type() == CV_8UC3 && paint.size() == image.size()) return true;
  LLKFLog("GridSeams : paint image must have three 8-bit channels and the image's size");
  return false;
}

// The last column of the run of one label that starts at `first`; compares four labels at a
// time while they last.
int runEnd(const std::uint16_t* label, int first, int width) {
  static_assert(std::endian::native == std::endian::little, "lanes are read low half first");
  const std::uint64_t pattern = label[first] * 0x0001000100010001ull;
  int last = first;
  for (; last + 4 < width; last += 4) {
    std::uint64_t next;
    std::memcpy(&next, label + last + 1, sizeof next);
    if (const std::uint64_t differs = next ^ pattern) return last + std::countr_zero(differs) / 16;
  }
  while (last + 1 < width && label[last + 1] == label[first]) ++last;
  return last;
}

// Calls visit(label, y, first, last, pixels of row y) for every run of one label along each
// row; superpixels are wide, so runs are long.
template <typename Visit>
void forEachRun(const cv::Mat& labels, const cv::Mat& image, Visit visit) {
  const int width = labels.cols;
  for (int y = 0; y < labels.rows; ++y) {
    const std::uint16_t* label = labels.ptr<std::uint16_t>(y);
    const cv::Vec3b* pixel = image.ptr<cv::Vec3b>(y);
    for (int first = 0; first < width;) {
      const int last = runEnd(label, first, width);
      visit(label[first], y, first, last, pixel);
      first = last + 1;
    }
  }
}

void paintLabels(const cv::Mat& labels, cv::Mat& paint, const std::vector<cv::Vec3b>& colours) {
  const cv::Vec3b* colour = colours.data();
  const size_t count = colours.size();
  for (int y = 0; y < labels.rows; ++y) {
    const std::uint16_t* label = labels.ptr<std::uint16_t>(y);
    cv::Vec3b* out = paint.ptr<cv::Vec3b>(y);
    for (int x = 0, width = labels.cols; x < width; ++x)
      if (label[x] < count) out[x] = colour[label[x]];
  }
}

// Integer sums keep the means exact however large a superpixel grows.
struct Sums {
  std::uint64_t x = 0, y = 0;
  std::uint64_t channel[3] = {};

  void addRun(const cv::Vec3b* pixel, int first, int last) {
    std::uint64_t c0 = 0, c1 = 0, c2 = 0;
    for (int i = first; i <= last; ++i) {
      c0 += pixel[i][0];
      c1 += pixel[i][1];
      c2 += pixel[i][2];
    }
    channel[0] += c0;
    channel[1] += c1;
    channel[2] += c2;
  }
};

}  // namespace

bool GridSeams::fitsLabels(const cv::Mat& image, const char* what) const {
  if (labels_.empty()) {
    LLKFLog("GridSeams : %s before a segmented image", what);
    return false;
  }
  if (image.type() != CV_8UC3 || image.size() != labels_.size()) {
    LLKFLog("GridSeams : %s needs the segmented image", what);
    return false;
  }
  return true;
}

bool GridSeams::display(const cv::Mat& image, cv::Mat& paint, std::span<spixel_t> spixels) const noexcept {
  if (!fitsLabels(image, "display") || !fitsPaint(image, paint)) return false;
  try {
    const size_t count = spixels.size();
    for (spixel_t& s : spixels) s = spixel_t{INT_MAX, 0, 0, INT_MAX, {0, 0}, {0, 0, 0}, 0};
    std::vector<Sums> sums(count);
    int outOfRange = -1;
    forEachRun(labels_, image, [&](unsigned label, int y, int first, int last, const cv::Vec3b* pixel) {
      if (label >= count) {
        outOfRange = std::max(outOfRange, int(label));
        return;
      }
      spixel_t& s = spixels[label];
      Sums& sum = sums[label];
      const unsigned run = unsigned(last - first + 1);
      s.xmin = std::min(s.xmin, first);
      s.xmax = std::max(s.xmax, last);
      s.ymin = std::min(s.ymin, y);
      s.ymax = std::max(s.ymax, y);
      sum.x += std::uint64_t(unsigned(first) + unsigned(last)) * run / 2;
      sum.y += std::uint64_t(unsigned(y)) * run;
      sum.addRun(pixel, first, last);
      s.count += run;
    });
    if (outOfRange >= 0) LLKFLog("out of range label! %d vs %d", outOfRange, int(count));
    std::vector<cv::Vec3b> colours(count);
    for (size_t i = 0; i < count; ++i) {
      spixel_t& s = spixels[i];
      if (s.count == 0) continue;  // an empty superpixel keeps its zero means
      const double n = double(s.count);
      s.centre[0] = float(double(sums[i].x) / n);
      s.centre[1] = float(double(sums[i].y) / n);
      for (int c = 0; c < 3; ++c) {
        s.colour[c] = float(double(sums[i].channel[c]) / n);
        colours[i][c] = cv::saturate_cast<uchar>(s.colour[c]);
      }
    }
    paintLabels(labels_, paint, colours);
    return true;
  } catch (const std::exception& e) {
    LLKFLog("GridSeams : %s", e.what());
    return false;
  }
}

bool GridSeams::display(const cv::Mat& image, cv::Mat& paint, bool mean) const noexcept {
  if (!fitsLabels(image, "display") || !fitsPaint(image, paint)) return false;
  try {
    const size_t count = size_t(cellsX_ + 1) * size_t(cellsY_ + 1);
    std::vector<cv::Vec3b> colours(count);
    if (mean) {
      std::vector<Sums> sums(count);
      std::vector<std::uint64_t> pixels(count, 0);
      forEachRun(labels_, image, [&](unsigned label, int, int first, int last, const cv::Vec3b* pixel) {
        if (label >= count) return;
        sums[label].addRun(pixel, first, last);
        pixels[label] += unsigned(last - first + 1);
      });
      for (size_t i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c) {
          const std::uint64_t n = pixels[i] > 1 ? pixels[i] : 1;
          colours[i][c] = uchar(sums[i].channel[c] / n);
        }
    } else {
      cv::RNG rng(123457);
      for (cv::Vec3b& colour : colours)
        for (int c = 0; c < 3; ++c) colour[c] = uchar(rng.next());
    }
    paintLabels(labels_, paint, colours);
    return true;
  } catch (const std::exception& e) {
    LLKFLog("GridSeams : %s", e.what());
    return false;
  }
}

bool GridSeams::extract(const cv::Mat& image, cv::Mat& mask, cv::Mat& grey, const spixel_t& spixel,
                        unsigned label) const noexcept {
  if (!fitsLabels(image, "extract")) return false;
  const spixel_t& s = spixel;
  if (s.count == 0 || s.xmin < 0 || s.ymin < 0 || s.xmax < s.xmin || s.ymax < s.ymin || s.xmax >= labels_.cols ||
      s.ymax >= labels_.rows) {
    LLKFLog("GridSeams : superpixel %u is empty or lies outside the image", label);
    return false;
  }
  const int width = s.xmax - s.xmin + 1;
  const int height = s.ymax - s.ymin + 1;
  const auto fits = [&](const cv::Mat& m) { return m.type() == CV_8UC1 && m.cols >= width && m.rows >= height; };
  if (!fits(mask) || !fits(grey)) {
    LLKFLog("GridSeams : superpixel %u needs 8-bit patches of %dx%d", label, width, height);
    return false;
  }
  for (int r = 0; r < height; ++r) {
    const std::uint16_t* labels = labels_.ptr<std::uint16_t>(s.ymin + r) + s.xmin;
    const cv::Vec3b* pixel = image.ptr<cv::Vec3b>(s.ymin + r) + s.xmin;
    uchar* greyRow = grey.ptr<uchar>(r);
    uchar* maskRow = mask.ptr<uchar>(r);
    for (int c = 0; c < width; ++c) {
      // (0.114 × blue + 0.587 × green + 0.299 × red) / 3, truncated, in exact integers.
      greyRow[c] = uchar((114u * pixel[c][0] + 587u * pixel[c][1] + 299u * pixel[c][2]) / 3000u);
      maskRow[c] = labels[c] == label ? 255 : maskRow[c];
    }
  }
  return true;
}

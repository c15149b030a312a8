#include "modules/vision/algorithms/graph/filter.h"

#include "modules/vision/algorithms/graph/imconv.h"

#include <algorithm>
#include <cmath>

namespace graphseg {

namespace {

constexpr float kWidth = 4.0f;
// Deviations are held between these: below, the mask is a single tap; above, its length would
// not fit in memory (or in an int).
constexpr float kSmallestSigma = 0.01f;
constexpr float kLargestSigma = 1e6f;

// Rows are taken in bands, so that the transposed writes of a band land side by side.
constexpr int kBand = 16;

template <class Combine>
bool convolve(const image<float>& src, image<float>& dst, const std::vector<float>& mask, Combine combine) {
  if (mask.empty() || dst.width != src.height || dst.height != src.width) return false;
  const int width = src.width;
  const int length = int(mask.size());
  const float* weights = mask.data();
  // Only the first and last length − 1 columns reach past the border.
  const int inner = std::max(length - 1, 0);
  for (int band = 0; band < src.height; band += kBand) {
    const int bandEnd = std::min(band + kBand, src.height);
    for (int x = 0; x < width; ++x) {
      const bool border = x < inner || x >= width - inner;
      float* out = dst.access[x];
      for (int y = band; y < bandEnd; ++y) {
        const float* row = src.access[y];
        float sum = weights[0] * row[x];
        if (border) {
          for (int i = 1; i < length; ++i)
            sum += weights[i] * combine(row[std::max(x - i, 0)], row[std::min(x + i, width - 1)]);
        } else {
          for (int i = 1; i < length; ++i) sum += weights[i] * combine(row[x - i], row[x + i]);
        }
        out[y] = sum;
      }
    }
  }
  return true;
}

}  // namespace

std::vector<float> make_fgauss(float sigma) {
  sigma = std::isnan(sigma) ? kSmallestSigma : std::clamp(sigma, kSmallestSigma, kLargestSigma);
  const int length = int(std::ceil(sigma * kWidth)) + 1;
  std::vector<float> mask(static_cast<size_t>(length));
  for (int i = 0; i < length; ++i) {
    const float t = float(i) / sigma;
    mask[size_t(i)] = float(std::exp(-0.5 * double(t) * double(t)));
  }
  return mask;
}

void normalize(std::vector<float>& mask) {
  if (mask.empty()) return;
  float sum = 0;
  for (size_t i = 1; i < mask.size(); ++i) sum += std::fabs(mask[i]);
  sum = 2 * sum + std::fabs(mask[0]);
  for (float& entry : mask) entry /= sum;
}

bool convolve_even(const image<float>& src, image<float>& dst, const std::vector<float>& mask) {
  return convolve(src, dst, mask, [](float left, float right) { return left + right; });
}

bool convolve_odd(const image<float>& src, image<float>& dst, const std::vector<float>& mask) {
  return convolve(src, dst, mask, [](float left, float right) { return left - right; });
}

bool smooth(const image<float>& src, float sigma, image<float>& dst, image<float>& tmp) {
  if (dst.width != src.width || dst.height != src.height) return false;
  std::vector<float> mask = make_fgauss(sigma);
  normalize(mask);
  return convolve_even(src, tmp, mask) && convolve_even(tmp, dst, mask);
}

image_ptr<float> smooth(const image<float>& src, float sigma) {
  image<float> tmp(src.height, src.width);
  auto dst = std::make_unique<image<float>>(src.width, src.height);
  if (!smooth(src, sigma, *dst, tmp)) return nullptr;
  return dst;
}

image_ptr<float> smooth(const image<unsigned char>& src, float sigma) {
  image_ptr<float> converted = imageUCHARtoFLOAT(src);
  return converted ? smooth(*converted, sigma) : nullptr;
}

}  // namespace graphseg

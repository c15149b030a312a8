#pragma once
// Separable Gaussian smoothing of float images. Each convolution pass writes its result
// transposed, so two passes over an image and its transpose smooth both directions.
#include "modules/vision/algorithms/graph/pixel-image.h"

#include <vector>

namespace graphseg {

// One half of a Gaussian of deviation sigma (at least 0.01, at most 10⁶; not a number counts as
// 0.01): ⌈4 sigma⌉ + 1 entries.
std::vector<float> make_fgauss(float sigma);

// Scales a half mask so that the full symmetric mask sums to 1.
void normalize(std::vector<float>& mask);

// dst(y, x) = mask[0] src(x, y) + Σ mask[i] (src(x − i, y) + src(x + i, y)), borders clamped.
// dst must have src's transposed shape and the mask at least one entry; false otherwise.
bool convolve_even(const image<float>& src, image<float>& dst, const std::vector<float>& mask);
// The same with the difference src(x − i, y) − src(x + i, y).
bool convolve_odd(const image<float>& src, image<float>& dst, const std::vector<float>& mask);

// Smooths src into dst (same shape) through tmp (transposed shape); false on a shape mismatch.
bool smooth(const image<float>& src, float sigma, image<float>& dst, image<float>& tmp);
// Smoothed copies; null when the smoothing refuses the images (as the form above).
image_ptr<float> smooth(const image<float>& src, float sigma);
image_ptr<float> smooth(const image<unsigned char>& src, float sigma);

}  // namespace graphseg

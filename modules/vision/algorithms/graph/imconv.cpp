#include "modules/vision/algorithms/graph/imconv.h"

#include <algorithm>
#include <cmath>

namespace graphseg {

namespace {

template <class From, class To, class Convert>
image_ptr<To> convert(const image<From>& input, Convert convertValue) {
  auto output = std::make_unique<image<To>>(input.width, input.height);
  for (int y = 0; y < input.height; ++y)
    for (int x = 0; x < input.width; ++x) (*output)(x, y) = convertValue(input(x, y));
  return output;
}

template <class From>
image_ptr<unsigned char> scaleToBytes(const image<From>& input, From min, From max) {
  if (max == min) return convert<From, unsigned char>(input, [](From) { return 0; });
  const float scale = 255.0f / float(max - min);
  return convert<From, unsigned char>(input, [=](From value) {
    const float scaled = float(value - min) * scale;
    if (!(scaled > 0.0f)) return (unsigned char)0;
    return scaled >= 255.0f ? (unsigned char)255 : (unsigned char)scaled;
  });
}

template <class From>
image_ptr<unsigned char> scaleToBytes(const image<From>& input) {
  const size_t count = size_t(input.width) * size_t(input.height);
  if (count == 0) return scaleToBytes(input, From(0), From(0));
  const auto [min, max] = std::minmax_element(input.data, input.data + count);
  return scaleToBytes(input, *min, *max);
}

}  // namespace

image_ptr<unsigned char> imageRGBtoGRAY(const image<rgb>& input) {
  return convert<rgb, unsigned char>(
      input, [](rgb c) { return (unsigned char)(0.299f * float(c.r) + 0.587f * float(c.g) + 0.114f * float(c.b)); });
}

image_ptr<rgb> imageGRAYtoRGB(const image<unsigned char>& input) {
  return convert<unsigned char, rgb>(input, [](unsigned char v) { return rgb{v, v, v}; });
}

image_ptr<float> imageUCHARtoFLOAT(const image<unsigned char>& input) {
  return convert<unsigned char, float>(input, [](unsigned char v) { return float(v); });
}

image_ptr<float> imageINTtoFLOAT(const image<int>& input) {
  return convert<int, float>(input, [](int v) { return float(v); });
}

image_ptr<long> imageUCHARtoLONG(const image<unsigned char>& input) {
  return convert<unsigned char, long>(input, [](unsigned char v) { return long(v); });
}

image_ptr<unsigned char> imageFLOATtoUCHAR(const image<float>& input, float min, float max) {
  return scaleToBytes(input, min, max);
}
image_ptr<unsigned char> imageFLOATtoUCHAR(const image<float>& input) { return scaleToBytes(input); }
image_ptr<unsigned char> imageLONGtoUCHAR(const image<long>& input, long min, long max) {
  return scaleToBytes(input, min, max);
}
image_ptr<unsigned char> imageLONGtoUCHAR(const image<long>& input) { return scaleToBytes(input); }
image_ptr<unsigned char> imageSHORTtoUCHAR(const image<short>& input, short min, short max) {
  return scaleToBytes(input, min, max);
}
image_ptr<unsigned char> imageSHORTtoUCHAR(const image<short>& input) { return scaleToBytes(input); }

}  // namespace graphseg

#include "imagekit/IMKFColor.h"

#include <array>
#include <cmath>

namespace {

float linearised(float channel) {
  const float linear = channel > 0.04045f ? std::pow((channel + 0.055f) / 1.055f, 2.4f) : channel / 12.92f;
  return linear * 100.0f;
}

float labCurve(float t) {
  return t > 0.008856f ? static_cast<float>(std::cbrt(static_cast<double>(t))) : 7.787f * t + 0.13793103f;
}

// A byte has 256 linearised values; computed once with the same arithmetic as for floats.
const std::array<float, 256>& linearisedBytes() {
  static const std::array<float, 256> table = [] {
    std::array<float, 256> values{};
    for (int byte = 0; byte < 256; ++byte) values[byte] = linearised(byte / 255.0f);
    return values;
  }();
  return table;
}

void linearToLab(float r, float g, float b, float lab[3]) {
  const float x = (0.4124f * r + 0.3576f * g + 0.1805f * b) / 95.047f;
  const float y = (0.2126f * r + 0.7152f * g + 0.0722f * b) / 100.0f;
  const float z = (0.0193f * r + 0.1192f * g + 0.9505f * b) / 108.883f;
  const float fx = labCurve(x), fy = labCurve(y), fz = labCurve(z);
  lab[0] = 116.0f * fy - 16.0f;
  lab[1] = 500.0f * (fx - fy);
  lab[2] = 200.0f * (fy - fz);
}

}  // namespace

extern "C" void IMKFColorRgbf2Lab(float red, float green, float blue, float lab[3]) {
  if (lab) linearToLab(linearised(red), linearised(green), linearised(blue), lab);
}

extern "C" void IMKFColorRgb2Lab(uint8_t red, uint8_t green, uint8_t blue, float lab[3]) {
  if (!lab) return;
  const std::array<float, 256>& linear = linearisedBytes();
  linearToLab(linear[red], linear[green], linear[blue], lab);
}

#include "imagekit/IMKFColor.h"

#include <cmath>

namespace {

float linearised(float channel) {
  const float linear = channel > 0.04045f ? std::pow((channel + 0.055f) / 1.055f, 2.4f) : channel / 12.92f;
  return linear * 100.0f;
}

float labCurve(float t) {
  return t > 0.008856f ? static_cast<float>(std::cbrt(static_cast<double>(t))) : 7.787f * t + 0.13793103f;
}

}  // namespace

extern "C" void IMKFColorRgbf2Lab(float red, float green, float blue, float lab[3]) {
  if (!lab) return;
  const float r = linearised(red), g = linearised(green), b = linearised(blue);
  const float x = (0.4124f * r + 0.3576f * g + 0.1805f * b) / 95.047f;
  const float y = (0.2126f * r + 0.7152f * g + 0.0722f * b) / 100.0f;
  const float z = (0.0193f * r + 0.1192f * g + 0.9505f * b) / 108.883f;
  const float fx = labCurve(x), fy = labCurve(y), fz = labCurve(z);
  lab[0] = 116.0f * fy - 16.0f;
  lab[1] = 500.0f * (fx - fy);
  lab[2] = 200.0f * (fy - fz);
}

extern "C" void IMKFColorRgb2Lab(uint8_t red, uint8_t green, uint8_t blue, float lab[3]) {
  IMKFColorRgbf2Lab(red / 255.0f, green / 255.0f, blue / 255.0f, lab);
}

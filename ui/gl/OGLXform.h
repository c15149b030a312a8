#pragma once
// 2D affine transforms as six floats {a, b, c, d, e, f}: x' = a x + c y + e, y' = b x + d y + f.
#include <array>
#include <cmath>

using OGLTXform = std::array<float, 6>;

// The transform that applies first then second.
inline OGLTXform OGLFXformThen(const OGLTXform& first, const OGLTXform& second) {
  const OGLTXform& t = first;
  const OGLTXform& s = second;
  return {t[0] * s[0] + t[1] * s[2], t[0] * s[1] + t[1] * s[3],        t[2] * s[0] + t[3] * s[2],
          t[2] * s[1] + t[3] * s[3], t[4] * s[0] + t[5] * s[2] + s[4], t[4] * s[1] + t[5] * s[3] + s[5]};
}

// False (and identity) when the transform cannot be inverted.
inline bool OGLFXformInverse(const OGLTXform& t, OGLTXform& inverse) {
  double det = static_cast<double>(t[0]) * t[3] - static_cast<double>(t[2]) * t[1];
  if (det > -1e-12 && det < 1e-12) {
    inverse = {1, 0, 0, 1, 0, 0};
    return false;
  }
  double invdet = 1.0 / det;
  inverse = {static_cast<float>(t[3] * invdet),
             static_cast<float>(-t[1] * invdet),
             static_cast<float>(-t[2] * invdet),
             static_cast<float>(t[0] * invdet),
             static_cast<float>((static_cast<double>(t[2]) * t[5] - static_cast<double>(t[3]) * t[4]) * invdet),
             static_cast<float>((static_cast<double>(t[1]) * t[4] - static_cast<double>(t[0]) * t[5]) * invdet)};
  return true;
}

inline void OGLFXformPoint(const OGLTXform& t, float x, float y, float& outX, float& outY) {
  outX = x * t[0] + y * t[2] + t[4];
  outY = x * t[1] + y * t[3] + t[5];
}

inline float OGLFXformAverageScale(const OGLTXform& t) {
  float sx = std::sqrt(t[0] * t[0] + t[2] * t[2]);
  float sy = std::sqrt(t[1] * t[1] + t[3] * t[3]);
  return (sx + sy) * 0.5f;
}

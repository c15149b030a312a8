#include "framework/core/NRKFNumerics.h"

#include <algorithm>
#include <cmath>

namespace {

float ease(uint32_t kind, float t) {
  switch (kind) {
    case 1:
      return t * t;
    case 2:
      return t * (2 - t);
    case 3:
      return t < 0.5f ? 2 * t * t : 1 - 2 * (1 - t) * (1 - t);
    case 4:
      return t < 0.5f ? 4 * t * t * t : 1 - 4 * (1 - t) * (1 - t) * (1 - t);
    case 5:
      return 1 - (1 - t) * (1 - t) * (1 - t);
    default:
      return t;
  }
}

}  // namespace

extern "C" uint32_t NRKFComputeGCD(uint32_t a, uint32_t b) {
  while (b != 0) {
    uint32_t rest = a % b;
    a = b;
    b = rest;
  }
  return a;
}

extern "C" float NRKFComputeEasingFactor(uint32_t kind, float duration, float* elapsed, float step, bool* done) {
  if (!(duration > 0) || !std::isfinite(duration)) {
    if (elapsed) *elapsed = 0;
    if (done) *done = true;
    return 1;
  }
  float now = elapsed && std::isfinite(*elapsed) ? *elapsed : 0;
  if (std::isfinite(step) && step > 0) now += step;
  now = std::clamp(now, 0.0f, duration);
  if (elapsed) *elapsed = now;
  if (done) *done = now >= duration;
  return std::clamp(ease(kind, now / duration), 0.0f, 1.0f);
}

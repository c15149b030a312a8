#pragma once
// Small numeric helpers.
#include <cstdint>

extern "C" {
// The greatest common divisor; NRKFComputeGCD(0, b) is b.
uint32_t NRKFComputeGCD(uint32_t a, uint32_t b);

// Easing curves for animations, by kind:
//   0 linear, 1 quadratic in, 2 quadratic out, 3 quadratic in-out, 4 cubic in-out,
//   5 cubic out; any other kind is linear.
// Advances *elapsed by step, clamped to duration, and answers the eased fraction in [0, 1] of
// the time now passed; *done (when given) tells whether the animation is over. A duration of
// 0 or less is over at once (fraction 1).
float NRKFComputeEasingFactor(uint32_t kind, float duration, float* elapsed, float step, bool* done);
}

#pragma once
// Small helpers of the graph segmentation: random colours and a table-driven square root.
#include "modules/vision/algorithms/graph/pixel-image.h"

#include <array>
#include <bit>
#include <cstdint>

namespace graphseg {

// A colour from three draws of the C library's generator (the low byte of each).
rgb random_rgb();

namespace fsqrt_detail {

constexpr int kMantissaBits = 11;
constexpr int kDroppedBits = 23 - kMantissaBits;
constexpr uint32_t kMantissaMask = (1u << kMantissaBits) - 1;
constexpr int kExponentOfOne = 127;

constexpr uint64_t integerSqrt(uint64_t n) {
  uint64_t root = 0, bit = uint64_t(1) << 62;
  while (bit > n) bit >>= 2;
  for (; bit; bit >>= 2) {
    if (n >= root + bit) {
      n -= root + bit;
      root = (root >> 1) + bit;
    } else {
      root >>= 1;
    }
  }
  return root;
}

// Entry m: the top mantissa bits of √(1 + m/2048); entry 2048 + m: those of √(2 (1 + m/2048)).
// Both roots lie in [1, 2), so the bits are ⌊2048 √v⌋ − 2048, computed exactly in integers.
constexpr std::array<uint16_t, 2 << kMantissaBits> makeTable() {
  std::array<uint16_t, 2 << kMantissaBits> table{};
  for (uint32_t odd = 0; odd < 2; ++odd)
    for (uint32_t m = 0; m <= kMantissaMask; ++m)
      table[(odd << kMantissaBits) | m] = uint16_t(integerSqrt(uint64_t(2048 + m) << (kMantissaBits + odd)) - 2048);
  return table;
}

// Made by the compiler: built once, before any thread can look at it.
inline constexpr std::array<uint16_t, 2 << kMantissaBits> kTable = makeTable();

}  // namespace fsqrt_detail

// The square-root table is made at compile time; kept so callers can ask for it explicitly.
void build_fsqrt_table();

// The square root of x truncated to 11 mantissa bits; 0 for x ≤ 0.
inline float fast_float_sqrt(float x) {
  using namespace fsqrt_detail;
  if (!(x > 0.0f)) return 0.0f;
  const uint32_t bits = std::bit_cast<uint32_t>(x);
  const int exponent = int((bits >> 23) & 0xFF) - kExponentOfOne;
  const uint32_t mantissa = (bits >> kDroppedBits) & kMantissaMask;
  const uint32_t odd = uint32_t(exponent & 1);
  const uint32_t root = kTable[(odd << kMantissaBits) | mantissa];
  const int halfExponent = (exponent - int(odd)) / 2;
  return std::bit_cast<float>((uint32_t(kExponentOfOne + halfExponent) << 23) | (root << kDroppedBits));
}

}  // namespace graphseg

#include "modules/vision/algorithms/graph/misc.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kMantissaBits = 11;
constexpr int kDroppedBits = 23 - kMantissaBits;
constexpr uint32_t kMantissaMask = (1u << kMantissaBits) - 1;
constexpr uint32_t kExponentOfOne = 127;

using SqrtTable = std::array<uint16_t, 2 << kMantissaBits>;

// Entry m holds the top mantissa bits of √(1 + m/2048), entry 2048 + m those of
// √(2 × (1 + m/2048)): the roots of the even and the odd exponents.
SqrtTable makeTable() {
  SqrtTable table{};
  for (uint32_t half = 0; half < 2; ++half)
    for (uint32_t m = 0; m <= kMantissaMask; ++m) {
      const float value = std::bit_cast<float>(((kExponentOfOne + half) << 23) | (m << kDroppedBits));
      const uint32_t root = std::bit_cast<uint32_t>(std::sqrt(value));
      table[(half << kMantissaBits) | m] = uint16_t((root >> kDroppedBits) & kMantissaMask);
    }
  return table;
}

const SqrtTable& sqrtTable() {
  static const SqrtTable table = makeTable();  // built once, thread-safely
  return table;
}

}  // namespace

rgb random_rgb() {
  rgb c;
  c.r = static_cast<unsigned char>(std::rand());
  c.g = static_cast<unsigned char>(std::rand());
  c.b = static_cast<unsigned char>(std::rand());
  return c;
}

void build_fsqrt_table() { (void)sqrtTable(); }

float fast_float_sqrt(float x) {
  if (!(x > 0.0f)) return 0.0f;
  const uint32_t bits = std::bit_cast<uint32_t>(x);
  const int exponent = int((bits >> 23) & 0xFF) - int(kExponentOfOne);
  const uint32_t mantissa = (bits >> kDroppedBits) & kMantissaMask;
  const uint32_t odd = uint32_t(exponent & 1);
  const uint32_t root = sqrtTable()[(odd << kMantissaBits) | mantissa];
  const int halfExponent = (exponent - int(odd)) / 2;
  return std::bit_cast<float>((uint32_t(int(kExponentOfOne) + halfExponent) << 23) |
                              (root << kDroppedBits));
}

#pragma once
// Pixels read back from a drawing surface or a window, compared channel by channel.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>

using Pixel = std::array<uint8_t, 4>;  // red, green, blue, alpha

// Every channel within tolerance of the expected one; a failure names both pixels.
inline ::testing::AssertionResult near(const Pixel& actual, const Pixel& expected, int tolerance = 2) {
  for (int i = 0; i < 4; ++i)
    if (std::abs(actual[i] - expected[i]) > tolerance)
      return ::testing::AssertionFailure()
             << "pixel (" << int(actual[0]) << ", " << int(actual[1]) << ", " << int(actual[2]) << ", "
             << int(actual[3]) << ") expected (" << int(expected[0]) << ", " << int(expected[1]) << ", "
             << int(expected[2]) << ", " << int(expected[3]) << ")";
  return ::testing::AssertionSuccess();
}

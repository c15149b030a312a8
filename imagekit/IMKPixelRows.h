#pragma once
// Inside the kit: the row converter of a pair of raw formats, and overflow-safe image sizes.
#include "imagekit/IMKFImageFormat.h"

#include <cstdint>

using IMKTRowConverter = void (*)(uint8_t* dst, const uint8_t* src, uint64_t count);

// The converter from one raw format to another; null for equal formats or a non-raw number.
IMKTRowConverter IMKFRowConverter(uint32_t srcFormat, uint32_t dstFormat);

// The vector instructions the converters use: the best the processor has.
enum class IMKTVectorLevel { scalar, ssse3, avx2 };
IMKTVectorLevel IMKFVectorLevel();
// The converter built for one level (tests compare the levels; a level above the processor's
// must not be called).
IMKTRowConverter IMKFRowConverterAt(uint32_t srcFormat, uint32_t dstFormat, IMKTVectorLevel level);

// count x pixelSize, or UINT64_MAX when that does not fit in 64 bits.
inline uint64_t IMKFBytesFor(uint64_t count, uint64_t pixelSize) {
  uint64_t bytes = 0;
  return __builtin_mul_overflow(count, pixelSize, &bytes) ? UINT64_MAX : bytes;
}

// width x height x pixelSize, saturated like IMKFBytesFor.
inline uint64_t IMKFImageBytes(uint32_t width, uint32_t height, uint32_t pixelSize) {
  return IMKFBytesFor(uint64_t{width} * height, pixelSize);
}

#include "imagekit/IMKFImageReplace.h"

#include "imagekit/IMKPixelRows.h"

#include <cstring>

extern "C" int IMKFImageReplace(uint32_t width, uint32_t height, const uint8_t* src, uint64_t srcLength,
                                uint32_t srcFormat, uint32_t dstWidth, uint32_t dstHeight, uint32_t x, uint32_t y,
                                uint8_t* dst, uint64_t dstLength, uint32_t dstFormat) {
  if (!IMKFIsRawFormat(srcFormat) || !IMKFIsRawFormat(dstFormat)) return IMKResultBadFormatArg;
  if (uint64_t{x} + width > dstWidth || uint64_t{y} + height > dstHeight) return IMKResultInvalid;
  const uint64_t srcPixel = IMKFPixelSize(srcFormat), dstPixel = IMKFPixelSize(dstFormat);
  const uint64_t srcNeed = IMKFImageBytes(width, height, IMKFPixelSize(srcFormat));
  const uint64_t dstNeed = IMKFImageBytes(dstWidth, dstHeight, IMKFPixelSize(dstFormat));
  if (srcLength < srcNeed || dstLength < dstNeed || (!src && srcNeed) || (!dst && dstNeed)) return IMKResultInvalid;
  if (width == 0 || height == 0) return IMKResultDone;

  const IMKTRowConverter convert = IMKFRowConverter(srcFormat, dstFormat);
  for (uint64_t row = 0; row < height; ++row) {
    const uint8_t* from = src + row * width * srcPixel;
    uint8_t* to = dst + ((y + row) * dstWidth + x) * dstPixel;
    if (convert) convert(to, from, width);
    else std::memmove(to, from, width * srcPixel);
  }
  return IMKResultDone;
}

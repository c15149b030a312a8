#include "imagekit/IMKFImageConvert.h"

#include "imagekit/IMKFImageDecodeJPEG.h"
#include "imagekit/IMKJPEGDecoding.h"
#include "imagekit/IMKPixelRows.h"

#include <cstring>

namespace {

int copyWhole(const uint8_t* src, uint64_t srcLength, uint8_t* dst, uint64_t dstLength) {
  if (dstLength < srcLength) return IMKResultInvalid;
  if (srcLength) std::memmove(dst, src, srcLength);
  return IMKResultDone;
}

int decodeJPEG(uint32_t width, uint32_t height, const uint8_t* src, uint64_t srcLength, uint8_t* dst,
               uint64_t dstLength, uint32_t dstFormat) {
  if (dstLength < IMKFImageLength(width, height, dstFormat)) return IMKResultInvalid;
  const uint64_t stride = uint64_t{width} * IMKFPixelSize(dstFormat);
  if (stride > UINT32_MAX) return IMKResultUndecodable;  // wider than any JPEG can be
  return IMKFImageConvertFromMPEG(src, srcLength, dst, dstLength, IMKFJPEGColorSpaceFor(dstFormat),
                                  static_cast<uint32_t>(stride), width, height)
             ? IMKResultDone
             : IMKResultUndecodable;
}

}  // namespace

extern "C" uint64_t IMKFImageLength(uint32_t width, uint32_t height, uint32_t format) {
  if (format == IMKPixelFormatJPEG) return IMKFImageBytes(width, height, 3);
  return IMKFIsRawFormat(format) ? IMKFImageBytes(width, height, IMKFPixelSize(format)) : 0;
}

extern "C" int IMKFImageConvert(uint32_t width, uint32_t height, const uint8_t* src, uint64_t srcLength,
                                uint32_t srcFormat, uint8_t* dst, uint64_t dstLength, uint32_t dstFormat) {
  if (srcFormat > IMKPixelFormatARGB || dstFormat > IMKPixelFormatARGB) return IMKResultBadFormat;
  if (srcFormat != IMKPixelFormatJPEG && dstFormat == IMKPixelFormatJPEG) return IMKResultBadFormat;
  if ((!src && srcLength) || (!dst && dstLength)) return IMKResultInvalid;

  if (srcFormat == IMKPixelFormatJPEG) {
    if (dstFormat == IMKPixelFormatJPEG) return copyWhole(src, srcLength, dst, dstLength);
    return decodeJPEG(width, height, src, srcLength, dst, dstLength, dstFormat);
  }

  const uint64_t count = uint64_t{width} * height;
  if (IMKFBytesFor(count, IMKFPixelSize(srcFormat)) > srcLength) return IMKResultInvalid;
  if (srcFormat == dstFormat) return copyWhole(src, srcLength, dst, dstLength);
  if (IMKFBytesFor(count, IMKFPixelSize(dstFormat)) > dstLength) return IMKResultInvalid;
  if (count) IMKFRowConverter(srcFormat, dstFormat)(dst, src, count);
  return IMKResultDone;
}

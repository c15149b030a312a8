#pragma once
// Pixel-format numbers and result codes shared by every image-kit function.
//
// A raw image (formats 1 to 5) is width x height pixels, rows top to bottom, each row
// width x bytes-per-pixel bytes with no padding. Format 0 is one complete JPEG stream.
#include <cstdint>

enum IMKTPixelFormat : uint32_t {
  IMKPixelFormatJPEG = 0,
  IMKPixelFormatRGB = 1,
  IMKPixelFormatRGBA = 2,
  IMKPixelFormatBGR = 3,
  IMKPixelFormatBGRA = 4,
  IMKPixelFormatARGB = 5,
};

// Results of the kit's C functions, in the manner of the C library's error numbers.
enum IMKTResult : int {
  IMKResultDone = 0,
  IMKResultNoMemory = 2,       // an allocation failed
  IMKResultIOFailed = 5,       // a file is missing, or writing it failed
  IMKResultBadFormat = 8,      // a conversion between these formats does not exist
  IMKResultBadFormatArg = 11,  // a format number the function cannot take
  IMKResultOutOfBounds = 15,   // a rectangle or placement outside a bitmap
  IMKResultInvalid = 22,       // a buffer too short, a placement that does not fit, or an argument the call cannot take
  IMKResultUndecodable = 26,   // the encoded image could not be decoded (or the file not opened)
  IMKResultTooLarge = 27,      // the image announces more pixels than the kit loads
};

// The most pixels an image file may announce to be loaded (6 000 x 4 000 and a little more): its
// header is checked against it before anything is decoded, so a small file cannot make the loader,
// nor the segmenter after it, take gigabytes.
constexpr uint64_t kIMKLargestImagePixels = 25'000'000;

// Bytes per pixel of a raw format; 0 for format 0 and unknown numbers.
constexpr uint32_t IMKFPixelSize(uint32_t format) {
  switch (format) {
    case IMKPixelFormatRGB:
    case IMKPixelFormatBGR:
      return 3;
    case IMKPixelFormatRGBA:
    case IMKPixelFormatBGRA:
    case IMKPixelFormatARGB:
      return 4;
    default:
      return 0;
  }
}

constexpr bool IMKFIsRawFormat(uint32_t format) { return IMKFPixelSize(format) != 0; }

// Whether an encoded image of encodedLength bytes may decode to decodedBytes. No image format packs
// pixels tighter than about 1000 to 1 (deflate's limit), so a few bytes announcing gigabytes of
// pixels are refused before a decoder fills them with nothing; up to 256 MiB always passes.
constexpr bool IMKFImageSizeIsPlausible(uint64_t decodedBytes, uint64_t encodedLength) {
  constexpr uint64_t kAlwaysAllowed = 256ull << 20, kLargestRatio = 1024;
  return decodedBytes <= kAlwaysAllowed || decodedBytes / kLargestRatio <= encodedLength;
}

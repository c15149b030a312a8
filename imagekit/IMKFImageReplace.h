#pragma once
// Pasting one raw image into a larger one, converting the pixel format on the way.
#include <cstdint>

extern "C" {

// Writes the width x height source image (src, srcLength bytes, srcFormat) into the destination
// image of dstWidth x dstHeight (dst, dstLength bytes, dstFormat) with its top-left pixel at
// column x, row y. 0: done; 11: a format outside 1 to 5; 22: the rectangle does not lie inside
// the destination, or a buffer is shorter than its image. Nothing is written unless all checks
// pass. Rows of same-size formats whose source and destination are the same address convert in
// place; other overlaps are not supported.
int IMKFImageReplace(uint32_t width, uint32_t height, const uint8_t* src, uint64_t srcLength, uint32_t srcFormat,
                     uint32_t dstWidth, uint32_t dstHeight, uint32_t x, uint32_t y, uint8_t* dst, uint64_t dstLength,
                     uint32_t dstFormat);

}  // extern "C"

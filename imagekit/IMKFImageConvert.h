#pragma once
// Length of an image in a pixel format, and conversion between the formats.
#include "imagekit/IMKFImageFormat.h"

#include <cstdint>

extern "C" {

// Byte length of a width x height image: x4 for formats 2, 4 and 5, x3 for formats 1 and 3 and
// for format 0 (the size once decoded to three bytes a pixel), 0 for numbers above 5. Computed
// in 64 bits; a length beyond 64 bits answers UINT64_MAX, which no buffer can match.
uint64_t IMKFImageLength(uint32_t width, uint32_t height, uint32_t format);

// Converts the image at src (srcLength bytes, srcFormat) into dst (dstLength bytes, dstFormat).
// Answers 0 when done; 8 for a format number above 5 or a raw source asked for format 0 (the kit
// never encodes JPEG); 22 when dst, or a raw src, is shorter than the width x height image it must
// hold (a JPEG copied as it is needs dstLength >= srcLength); 26 when the JPEG stream cannot be
// decoded, is cut short, or is not width x height. Nothing is written unless every check passes;
// after a 26 the content of dst is undefined. Same-size conversions work with dst == src.
int IMKFImageConvert(uint32_t width, uint32_t height, const uint8_t* src, uint64_t srcLength, uint32_t srcFormat,
                     uint8_t* dst, uint64_t dstLength, uint32_t dstFormat);

// Row converters: count pixels from src to dst (destination first), no checks. The ones whose two
// formats have the same pixel size also work in place (dst == src); the others need separate
// buffers. Alpha is kept between four-byte formats, dropped into three-byte ones, 255 out of them.
void IMKFImageConvertRGB2RGBA(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertRGB2BGR(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertRGB2BGRA(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertRGB2ARGB(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertRGBA2RGB(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertRGBA2BGR(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertRGBA2BGRA(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertRGBA2ARGB(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertBGR2RGB(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertBGR2RGBA(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertBGR2BGRA(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertBGR2ARGB(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertBGRA2RGB(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertBGRA2RGBA(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertBGRA2BGR(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertBGRA2ARGB(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertARGB2RGB(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertARGB2RGBA(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertARGB2BGR(uint8_t* dst, const uint8_t* src, uint64_t count);
void IMKFImageConvertARGB2BGRA(uint8_t* dst, const uint8_t* src, uint64_t count);

}  // extern "C"

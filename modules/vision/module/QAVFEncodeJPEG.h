#pragma once
// JPEG encoding of raw images with libjpeg-turbo.
#include <cstdint>

#include "framework/core/LLKCData.h"

extern "C" {

// What QAVFEncodeJPEG answers.
enum QAVTEncodeStatus : int {
  kQAVEncodeDone = 0,
  // No pixels or no out, a width or height of 0, or a format outside 1 to 5 (0, JPEG itself,
  // included).
  kQAVEncodeBadCall = 22,
  kQAVEncodeTooLarge = 27,  // a width or height beyond libjpeg's largest (65500)
  kQAVEncodeNoMemory = 2,
  kQAVEncodeFailed = 5,  // libjpeg failed otherwise (its message goes to the log)
};

// Encodes a width x height image of the image kit's raw pixel format (1 RGB, 2 RGBA, 3 BGR,
// 4 BGRA, 5 ARGB), rows packed without padding, at the given quality (1 to 100; libjpeg clamps
// others), baseline. On success *encoded owns the JPEG stream; on failure it is left untouched.
// Never exits the process.
[[nodiscard]] int QAVFEncodeJPEG(uint32_t format, const uint8_t* pixels, uint32_t width, uint32_t height, int quality,
                                 Ref<LLKCData>* encoded);

}  // extern "C"

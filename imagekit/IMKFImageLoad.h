#pragma once
// Loading an image file, or an encoded image in memory, into pixels of a raw format (stb_image:
// PNG, JPEG, BMP, GIF, TGA, PSD, HDR, PIC, PNM).
#include "framework/core/LLKBObject.h"
#include "framework/core/LLKCData.h"
#include "imagekit/IMKFImageFormat.h"

#include <cstdint>

extern "C" {

// Loads the file at path as format 1 to 5 (numbers above 5 load RGB). On success (0) *data holds
// width x height pixels of that format and *width, *height are set; on failure the outs are left
// untouched. 22: format 0 was asked for; 5: the file does not exist; 26: it cannot be decoded
// (also when it announces far more pixels than its bytes could hold: over 256 MiB decoded at more
// than 1024 times its size), is not a regular file (a folder, pipe or device) or is larger than
// 2 GiB; 2: the data object could not be made; 22 also for missing outs.
// JPEG goes through libjpeg (CMYK included), every other format through stb_image.
int IMKFImageLoadFromFile(const char* path, uint32_t format, Ref<LLKCData>* data, uint32_t* width, uint32_t* height);

// The same from length encoded bytes; format 0 loads RGB here. 26 also for no bytes.
int IMKFImageLoadFromMemory(const uint8_t* bytes, int32_t length, uint32_t format, Ref<LLKCData>* data, uint32_t* width,
                            uint32_t* height);

}  // extern "C"

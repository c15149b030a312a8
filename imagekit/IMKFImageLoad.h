#pragma once
// Loading an image file, or an encoded image in memory, into pixels of a raw format. JPEG and PNG
// are read, each known by its signature, not by its name; anything else is refused.
#include "framework/core/LLKBObject.h"
#include "framework/core/LLKCData.h"
#include "imagekit/IMKFImageFormat.h"

#include <cstdint>

extern "C" {

// Loads the file at path as format 1 to 5 (numbers above 5 load RGB). On success (0) *data holds
// width x height pixels of that format and *width, *height are set; on failure the outs are left
// untouched. 22: format 0 was asked for; 5: the file does not exist; 26: it is no JPEG or PNG
// file, cannot be decoded (corrupt or cut short), is not a regular file (a folder, pipe or device)
// or is larger than 2 GiB; 27: its header announces more than kIMKLargestImagePixels pixels
// (nothing is decoded then); 2: memory ran out; 22 also for missing outs.
// JPEG goes through libjpeg (CMYK included), PNG through libpng (grey, palette, 16-bit and
// interlaced files included).
int IMKFImageLoadFromFile(const char* path, uint32_t format, Ref<LLKCData>* data, uint32_t* width, uint32_t* height);

// The same from length encoded bytes; format 0 loads RGB here. 26 also for no bytes.
int IMKFImageLoadFromMemory(const uint8_t* bytes, int32_t length, uint32_t format, Ref<LLKCData>* data, uint32_t* width,
                            uint32_t* height);

}  // extern "C"

// Why a load answered result, in words that follow a file's name ("it is no JPEG or PNG image
// that can be decoded", "it has more than 25000000 pixels, ..."); null for 0.
const char* IMKFImageLoadFailure(int result);

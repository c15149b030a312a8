#pragma once
// Writing an image as a binary PPM ("P6", maximum 255, RGB rows top to bottom), for inspection.
#include <cstdint>

extern "C" {

// Writes the width x height image (data, length bytes, raw format 1 to 5) to path.
// 0: written; 11: format 0 or above 5 (nothing opened); 22: data shorter than the image;
// 26: the file could not be opened for writing; 5: writing failed (the partial file is removed);
// 2: out of memory.
int IMKFImageDumpIntoFile(const char* path, uint32_t format, const uint8_t* data, uint64_t length, uint32_t width,
                          uint32_t height);

}  // extern "C"

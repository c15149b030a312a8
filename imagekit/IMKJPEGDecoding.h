#pragma once
// Inside the kit: the one JPEG decoding loop, shared by the converter and the image loader.
#include <cstdint>

// Called once the stream's size is known and before any row is written: answers where row 0
// goes and sets *stride to the distance between rows, or answers null to refuse the image.
// rowBytes is width x the output colour space's bytes per pixel; cmyk tells that the rows come
// as the stream's own four CMYK channels.
using IMKTJPEGRowsFor = uint8_t* (*)(void* context, uint32_t width, uint32_t height, uint64_t rowBytes, bool cmyk,
                                     uint64_t* stride);

// Decodes with libjpeg into the output colour space (a J_COLOR_SPACE value), installing the standard Huffman tables
// when the stream has none. libjpeg cannot turn CMYK streams into RGB; with keepCMYK they come out as CMYK for the
// caller to convert, without it they fail. Answers true when the whole image was decoded; false for a refused size, a
// corrupt stream, or one that ends early. libjpeg's messages go to the log. Image files take the exact (slow) integer
// DCT, so that their pixels are the same wherever they are decoded; motion-JPEG frames take the fast one (exactDCT
// false).
bool IMKFDecodeJPEG(const uint8_t* bytes, uint64_t length, int colorSpace, bool keepCMYK, bool exactDCT,
                    IMKTJPEGRowsFor rowsFor, void* context);

// libjpeg's output colour space that lays pixels out as the raw format does (RGB for the rest).
int IMKFJPEGColorSpaceFor(uint32_t format);

// Whether the bytes begin like a JPEG stream (start-of-image marker and another marker).
inline bool IMKFLooksLikeJPEG(const uint8_t* bytes, uint64_t length) {
  return length >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

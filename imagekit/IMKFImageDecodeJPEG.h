#pragma once
// Decoding of one JPEG image (such as one motion-JPEG frame) into raw pixels with libjpeg-turbo.
#include <cstdint>

extern "C" {

// Decodes the JPEG stream (bytes, length) into dst, whose rows are stride bytes apart, in the
// libjpeg output colour space colorSpace (JCS_EXT_RGB, JCS_EXT_RGBA, ... alpha comes out 255),
// with the fast integer DCT. Streams without Huffman tables get the standard ones.
// Answers true when the image was decoded whole. It answers false, writing nothing, when the
// stream's own size is not width x height or its rows do not fit stride and dstLength; and false
// when the stream is corrupt or ends before the image is complete (rows already written are then
// undefined). libjpeg's messages go to the log; nothing ever exits the process.
bool IMKFImageConvertFromMPEG(const uint8_t* bytes, uint64_t length, uint8_t* dst, uint64_t dstLength, int colorSpace,
                              uint32_t stride, uint32_t width, uint32_t height);

}  // extern "C"

#pragma once
// Inside the kit: PNG streams decoded by libpng, the kit's one decoder for them.
#include <cstdint>

// Whether the bytes begin with the PNG signature.
inline bool IMKFLooksLikePNG(const uint8_t* bytes, uint64_t length) {
  constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (length < sizeof kSignature) return false;
  for (uint64_t i = 0; i < sizeof kSignature; ++i)
    if (bytes[i] != kSignature[i]) return false;
  return true;
}

// Decodes the stream into width x height pixels of channels (3: RGB, 4: RGBA, alpha 255 where the
// file has none) from the C allocator, which *pixels then owns. Grey, palette and 16-bit files
// come out as 8-bit colour; interlaced ones whole. Answers IMKResultDone; IMKResultTooLarge when
// the header announces more than kIMKLargestImagePixels (nothing is decoded then);
// IMKResultUndecodable for a stream libpng refuses (corrupt, cut short, image data missing).
// Nothing is written to the outs unless it answers IMKResultDone.
int IMKFDecodePNG(const uint8_t* bytes, uint64_t length, int channels, uint8_t** pixels, uint32_t* width,
                  uint32_t* height);

#pragma once
// JPEG images made by libjpeg's own encoder, and libjpeg's own decode of them as the reference.
#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

enum class Sampling { s420, s444, grey, cmyk };

struct JPEGOptions {
  Sampling sampling = Sampling::s420;
  bool progressive = false;
  bool optimizeTables = false;  // image-specific Huffman tables instead of the standard ones
  int quality = 90;
};

// An RGB test picture with gradients and detail, the same for the same size.
Bytes makeTestPicture(uint32_t width, uint32_t height);

// Encodes width x height RGB pixels (greyscale keeps their luminance only; CMYK takes red, green
// and blue as C, M and Y, and K from a pattern).
Bytes encodeJPEG(const Bytes& rgb, uint32_t width, uint32_t height, const JPEGOptions& options);

enum class DCT { fast, exact };

// libjpeg's decode of the stream into the colour space (a J_COLOR_SPACE value) with the DCT of
// motion-JPEG frames (fast) or of image files (exact).
Bytes referenceDecode(const Bytes& jpeg, int colorSpace, DCT dct = DCT::fast);

// The stream with its Huffman table segments removed, as motion-JPEG frames come.
Bytes withoutHuffmanTables(const Bytes& jpeg);

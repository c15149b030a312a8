// Loading images. The kit reads the two formats the system takes in, each chosen by its
// signature and decoded by the library that keeps it: JPEG by libjpeg, PNG by libpng. Every other
// file is refused unread, however its name ends: general decoders of many formats have crashed and
// looped for ever on a hundred crafted bytes. The size a header announces is checked before any
// pixel is decoded.
#include "imagekit/IMKFImageLoad.h"

#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKFImageFormat.h"
#include "imagekit/IMKJPEGDecoding.h"
#include "imagekit/IMKPNGDecoding.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// Decoded pixels from the C allocator, in the asked format, or none and why.
struct Decoded {
  int result = IMKResultUndecodable;
  uint8_t* pixels = nullptr;
  uint32_t width = 0;
  uint32_t height = 0;
  bool cmyk = false;  // libjpeg delivered the stream's CMYK channels
};

int channelsFor(uint32_t format) { return IMKFPixelSize(format) == 4 ? 4 : 3; }

// The decoders here deliver RGB or RGBA; the other formats are reordered in place.
void reorderFromRGB(uint8_t* pixels, uint64_t count, uint32_t format) {
  switch (format) {
    case IMKPixelFormatBGR:
      IMKFImageConvertRGB2BGR(pixels, pixels, count);
      break;
    case IMKPixelFormatBGRA:
      IMKFImageConvertRGBA2BGRA(pixels, pixels, count);
      break;
    case IMKPixelFormatARGB:
      IMKFImageConvertRGBA2ARGB(pixels, pixels, count);
      break;
    default:
      break;
  }
}

uint8_t* rowsInNewBuffer(void* context, uint32_t width, uint32_t height, uint64_t rowBytes, bool cmyk,
                         uint64_t* stride) {
  Decoded& decoded = *static_cast<Decoded*>(context);
  if (uint64_t{width} * height > kIMKLargestImagePixels) {
    decoded.result = IMKResultTooLarge;
    return nullptr;
  }
  decoded.pixels = static_cast<uint8_t*>(std::malloc(rowBytes * height));
  if (!decoded.pixels) {
    decoded.result = IMKResultNoMemory;
    return nullptr;
  }
  decoded.width = width;
  decoded.height = height;
  decoded.cmyk = cmyk;
  *stride = rowBytes;
  return decoded.pixels;
}

// JPEG files store CMYK inverted (as Adobe writes it): each colour is its channel scaled by K.
// Rewritten in place front to back: a pixel never grows beyond the four bytes it came in.
void cmykToFormat(uint8_t* pixels, uint64_t count, uint32_t format) {
  const int channels = channelsFor(format);
  auto scaled = [](uint8_t channel, uint8_t k) { return static_cast<uint8_t>((channel * k + 127) / 255); };
  for (uint64_t i = 0; i < count; ++i) {
    const uint8_t* cmyk = pixels + i * 4;
    const uint8_t rgba[4] = {scaled(cmyk[0], cmyk[3]), scaled(cmyk[1], cmyk[3]), scaled(cmyk[2], cmyk[3]), 255};
    std::memcpy(pixels + i * channels, rgba, channels);
  }
  reorderFromRGB(pixels, count, format);
}

Decoded decodeJPEG(const uint8_t* bytes, uint64_t length, uint32_t format) {
  Decoded decoded;
  if (!IMKFDecodeJPEG(bytes, length, IMKFJPEGColorSpaceFor(format), true, true, rowsInNewBuffer, &decoded)) {
    std::free(decoded.pixels);
    return {decoded.result};
  }
  decoded.result = IMKResultDone;
  if (decoded.cmyk) cmykToFormat(decoded.pixels, uint64_t{decoded.width} * decoded.height, format);
  return decoded;
}

Decoded decodePNG(const uint8_t* bytes, uint64_t length, uint32_t format) {
  Decoded decoded;
  decoded.result = IMKFDecodePNG(bytes, length, channelsFor(format), &decoded.pixels, &decoded.width, &decoded.height);
  if (decoded.result == IMKResultDone)
    reorderFromRGB(decoded.pixels, uint64_t{decoded.width} * decoded.height, format);
  return decoded;
}

Decoded decode(const uint8_t* bytes, uint64_t length, uint32_t format) {
  if (IMKFLooksLikeJPEG(bytes, length)) return decodeJPEG(bytes, length, format);
  if (IMKFLooksLikePNG(bytes, length)) return decodePNG(bytes, length, format);
  return {};
}

// Hands the decoded pixels to a data object and the outs; the outs change only on success.
int deliver(const Decoded& decoded, uint32_t format, Ref<LLKCData>* data, uint32_t* width, uint32_t* height) {
  if (decoded.result != IMKResultDone) return decoded.result;
  const uint64_t length = uint64_t{decoded.width} * decoded.height * channelsFor(format);
  Ref<LLKCData> made = LLKCData::dataWithBytesNoCopy(decoded.pixels, length, true);
  if (!made) {
    std::free(decoded.pixels);
    return IMKResultNoMemory;
  }
  *data = std::move(made);
  *width = decoded.width;
  *height = decoded.height;
  return IMKResultDone;
}

}  // namespace

extern "C" int IMKFImageLoadFromFile(const char* path, uint32_t format, Ref<LLKCData>* data, uint32_t* width,
                                     uint32_t* height) {
  if (format == IMKPixelFormatJPEG) return IMKResultInvalid;
  struct stat status {};
  if (!path || stat(path, &status) != 0) return IMKResultIOFailed;
  if (!data || !width || !height) return IMKResultInvalid;
  // Only regular files: a pipe or a device would be read for ever (or wait for a writer).
  if (!S_ISREG(status.st_mode) || status.st_size > INT_MAX) return IMKResultUndecodable;
  try {
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) return IMKResultUndecodable;
    if (bytes.empty() || bytes.size() > INT_MAX) return IMKResultUndecodable;
    return deliver(decode(bytes.data(), bytes.size(), format), format, data, width, height);
  } catch (const std::bad_alloc&) {
    return IMKResultNoMemory;
  }
}

extern "C" int IMKFImageLoadFromMemory(const uint8_t* bytes, int32_t length, uint32_t format, Ref<LLKCData>* data,
                                       uint32_t* width, uint32_t* height) {
  if (!bytes || length <= 0) return IMKResultUndecodable;
  if (!data || !width || !height) return IMKResultInvalid;
  return deliver(decode(bytes, static_cast<uint64_t>(length), format), format, data, width, height);
}

const char* IMKFImageLoadFailure(int result) {
  static const std::string tooLarge = "it has more than " + std::to_string(kIMKLargestImagePixels) +
                                      " pixels, the most an image may have";
  switch (result) {
    case IMKResultDone:
      return nullptr;
    case IMKResultIOFailed:
      return "the file does not exist";
    case IMKResultUndecodable:
      return "it is no JPEG or PNG image that can be decoded (or no regular file)";
    case IMKResultTooLarge:
      return tooLarge.c_str();
    case IMKResultNoMemory:
      return "out of memory";
    case IMKResultInvalid:
      return "the pixel format is unknown";
    default:
      return "the loader failed";
  }
}

// Loading images. JPEG streams go to the kit's libjpeg decoder, which stands up to corrupt input;
// every other format goes to stb_image, compiled here alone, privately and without its own JPEG
// decoder (whose Huffman-table reader writes past its tables on crafted streams).
#include "imagekit/IMKFImageLoad.h"

#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKFImageFormat.h"
#include "imagekit/IMKJPEGDecoding.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <new>
#include <sys/stat.h>
#include <vector>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_JPEG
#include <stb/stb_image.h>

namespace {

// Decoded pixels from the C allocator, in the asked format, or none.
struct Decoded {
  uint8_t* pixels = nullptr;
  uint32_t width = 0;
  uint32_t height = 0;
  bool cmyk = false;  // libjpeg delivered the stream's CMYK channels
  uint64_t encodedLength = 0;
};

// stb_image's options are process-wide; they are set once, before the first load, so loads on
// different threads never write them while another reads them.
void setLoadOptionsOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    stbi_set_unpremultiply_on_load(1);
    stbi_convert_iphone_png_to_rgb(1);
  });
}

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

// A binary PNM header ("P5" grey, "P6" RGB): width, height, maximum sample and where the
// samples start (one whitespace after the maximum).
struct PNMHeader {
  int channels = 0;
  int64_t numbers[3] = {};  // width, height, maximum
  int dataAt = 0;
};

bool isBinaryPNM(const uint8_t* bytes, int length) {
  return length >= 2 && bytes[0] == 'P' && (bytes[1] == '5' || bytes[1] == '6');
}

// False when a number does not fit an int (stb_image reads them into one with no bound).
bool readPNMHeader(const uint8_t* bytes, int length, PNMHeader* header) {
  header->channels = bytes[1] == '5' ? 1 : 3;
  auto space = [](uint8_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  int at = 2;
  for (int64_t& value : header->numbers) {
    while (at < length && (space(bytes[at]) || bytes[at] == '#')) {
      if (bytes[at] != '#') ++at;
      else
        while (at < length && bytes[at] != '\n' && bytes[at] != '\r') ++at;
    }
    value = 0;
    for (; at < length && bytes[at] >= '0' && bytes[at] <= '9'; ++at)
      if ((value = value * 10 + (bytes[at] - '0')) > INT_MAX) return false;
  }
  header->dataAt = at + 1;
  return true;
}

// Binary PNM with samples of two bytes (a maximum above 255), decoded here: stb_image reads them
// without swapping their bytes and converts their channels as if they were one byte each, past
// the end of its buffer. Samples are scaled from the file's maximum to 0..255; a file shorter
// than its pixels is refused (so the pixels never outgrow twice the file).
Decoded decodeWidePNM(const uint8_t* bytes, int length, const PNMHeader& header, uint32_t format) {
  const int64_t width = header.numbers[0], height = header.numbers[1], maximum = header.numbers[2];
  const uint64_t samples = uint64_t(width) * uint64_t(height) * uint64_t(header.channels);
  if (width <= 0 || height <= 0 || maximum > 65535 || header.dataAt > length ||
      samples * 2 > uint64_t(length - header.dataAt))
    return {};
  const int channels = channelsFor(format);
  if (uint64_t(width) * uint64_t(height) * channels > INT_MAX) return {};  // as stb_image's largest
  Decoded decoded;
  decoded.pixels = static_cast<uint8_t*>(std::malloc(uint64_t(width) * uint64_t(height) * channels));
  if (!decoded.pixels) return {};
  decoded.width = static_cast<uint32_t>(width);
  decoded.height = static_cast<uint32_t>(height);
  const uint8_t* sample = bytes + header.dataAt;
  auto next = [&] {
    const uint32_t value = std::min<uint32_t>((uint32_t{sample[0]} << 8) | sample[1], uint32_t(maximum));
    sample += 2;
    return static_cast<uint8_t>((value * 255 + uint32_t(maximum) / 2) / uint32_t(maximum));
  };
  for (uint64_t i = 0, count = uint64_t(width) * uint64_t(height); i < count; ++i) {
    uint8_t* pixel = decoded.pixels + i * channels;
    pixel[0] = next();
    pixel[1] = header.channels == 3 ? next() : pixel[0];
    pixel[2] = header.channels == 3 ? next() : pixel[0];
    if (channels == 4) pixel[3] = 255;
  }
  reorderFromRGB(decoded.pixels, uint64_t{decoded.width} * decoded.height, format);
  return decoded;
}

Decoded decodeWithStb(const uint8_t* bytes, int length, uint32_t format) {
  setLoadOptionsOnce();
  PNMHeader header;
  if (isBinaryPNM(bytes, length)) {
    if (!readPNMHeader(bytes, length, &header)) return {};
    if (header.numbers[2] > 255) return decodeWidePNM(bytes, length, header, format);
  }
  int announcedX = 0, announcedY = 0, announcedChannels = 0;
  if (!stbi_info_from_memory(bytes, length, &announcedX, &announcedY, &announcedChannels) ||
      !IMKFImageSizeIsPlausible(uint64_t(announcedX) * uint64_t(announcedY) * channelsFor(format), uint64_t(length)))
    return {};
  Decoded decoded;
  int x = 0, y = 0, inFile = 0;
  decoded.pixels = stbi_load_from_memory(bytes, length, &x, &y, &inFile, channelsFor(format));
  if (!decoded.pixels) return {};
  decoded.width = static_cast<uint32_t>(x);
  decoded.height = static_cast<uint32_t>(y);
  reorderFromRGB(decoded.pixels, uint64_t{decoded.width} * decoded.height, format);
  return decoded;
}

uint8_t* rowsInNewBuffer(void* context, uint32_t width, uint32_t height, uint64_t rowBytes, bool cmyk,
                         uint64_t* stride) {
  Decoded& decoded = *static_cast<Decoded*>(context);
  // The largest image stb_image would load, and no more than the stream can plausibly hold.
  if (rowBytes * height > INT_MAX || !IMKFImageSizeIsPlausible(rowBytes * height, decoded.encodedLength))
    return nullptr;
  decoded.pixels = static_cast<uint8_t*>(std::malloc(rowBytes * height));
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

Decoded decodeWithLibjpeg(const uint8_t* bytes, uint64_t length, uint32_t format) {
  Decoded decoded;
  decoded.encodedLength = length;
  if (!IMKFDecodeJPEG(bytes, length, IMKFJPEGColorSpaceFor(format), true, true, rowsInNewBuffer, &decoded)) {
    std::free(decoded.pixels);
    return {};
  }
  if (decoded.cmyk) cmykToFormat(decoded.pixels, uint64_t{decoded.width} * decoded.height, format);
  return decoded;
}

Decoded decode(const uint8_t* bytes, int length, uint32_t format) {
  if (IMKFLooksLikeJPEG(bytes, static_cast<uint64_t>(length)))
    return decodeWithLibjpeg(bytes, static_cast<uint64_t>(length), format);
  return decodeWithStb(bytes, length, format);
}

// Hands the decoded pixels to a data object and the outs; the outs change only on success.
int deliver(const Decoded& decoded, uint32_t format, Ref<LLKCData>* data, uint32_t* width, uint32_t* height) {
  if (!decoded.pixels) return IMKResultUndecodable;
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
    return deliver(decode(bytes.data(), static_cast<int>(bytes.size()), format), format, data, width, height);
  } catch (const std::bad_alloc&) {
    return IMKResultNoMemory;
  }
}

extern "C" int IMKFImageLoadFromMemory(const uint8_t* bytes, int32_t length, uint32_t format, Ref<LLKCData>* data,
                                       uint32_t* width, uint32_t* height) {
  if (!bytes || length <= 0) return IMKResultUndecodable;
  if (!data || !width || !height) return IMKResultInvalid;
  return deliver(decode(bytes, length, format), format, data, width, height);
}

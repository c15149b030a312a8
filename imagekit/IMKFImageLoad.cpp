// The only place that compiles stb_image; it stays private to this file.
#include "imagekit/IMKFImageLoad.h"

#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKPixelRows.h"

#include <cstdlib>
#include <mutex>
#include <sys/stat.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace {

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

// stb_image delivers RGB or RGBA; the other formats are reordered in place.
void reorderFromStb(uint8_t* pixels, uint64_t count, uint32_t format) {
  switch (format) {
    case IMKPixelFormatBGR: IMKFImageConvertRGB2BGR(pixels, pixels, count); break;
    case IMKPixelFormatBGRA: IMKFImageConvertRGBA2BGRA(pixels, pixels, count); break;
    case IMKPixelFormatARGB: IMKFImageConvertRGBA2ARGB(pixels, pixels, count); break;
    default: break;
  }
}

template <typename Decode>
int load(uint32_t format, Ref<LLKCData>* data, uint32_t* width, uint32_t* height, Decode decode) {
  if (!data || !width || !height) return IMKResultInvalid;
  setLoadOptionsOnce();
  const int channels = channelsFor(format);
  int x = 0, y = 0, inFile = 0;
  uint8_t* pixels = decode(&x, &y, &inFile, channels);
  if (!pixels) return IMKResultUndecodable;
  if (x <= 0 || y <= 0) {
    stbi_image_free(pixels);
    return IMKResultUndecodable;
  }
  const uint64_t count = uint64_t(x) * uint64_t(y);
  Ref<LLKCData> made = LLKCData::dataWithBytesNoCopy(pixels, count * channels, true);
  if (!made) {
    stbi_image_free(pixels);
    return IMKResultNoMemory;
  }
  reorderFromStb(pixels, count, format);
  *data = std::move(made);
  *width = static_cast<uint32_t>(x);
  *height = static_cast<uint32_t>(y);
  return IMKResultDone;
}

}  // namespace

extern "C" int IMKFImageLoadFromFile(const char* path, uint32_t format, Ref<LLKCData>* data, uint32_t* width,
                                     uint32_t* height) {
  if (format == IMKPixelFormatJPEG) return IMKResultInvalid;
  struct stat status {};
  if (!path || stat(path, &status) != 0) return IMKResultIOFailed;
  return load(format, data, width, height, [path](int* x, int* y, int* inFile, int channels) {
    return stbi_load(path, x, y, inFile, channels);
  });
}

extern "C" int IMKFImageLoadFromMemory(const uint8_t* bytes, int32_t length, uint32_t format, Ref<LLKCData>* data,
                                       uint32_t* width, uint32_t* height) {
  if (!bytes || length <= 0) return IMKResultUndecodable;
  return load(format, data, width, height, [bytes, length](int* x, int* y, int* inFile, int channels) {
    return stbi_load_from_memory(bytes, length, x, y, inFile, channels);
  });
}

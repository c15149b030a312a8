// PNG decoding on libpng. libpng reports fatal errors by a long jump back to the setjmp of the
// reading step, so between them there are only C frames and trivially destructible locals; what
// must outlive the jump lives in the caller's record.
#include "imagekit/IMKFImageFormat.h"
#include "imagekit/IMKPNGDecoding.h"

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <png.h>

namespace {

struct Source {
  const uint8_t* bytes;
  uint64_t length;
  uint64_t at;
};

struct Reading {
  png_structp png = nullptr;
  png_infop info = nullptr;
  Source source{};
  int channels = 0;
  int result = IMKResultUndecodable;
  uint8_t* pixels = nullptr;
  png_bytep* rows = nullptr;
  uint32_t width = 0, height = 0;
};

void readSource(png_structp png, png_bytep out, size_t count) {
  Source& source = *static_cast<Source*>(png_get_io_ptr(png));
  if (count > source.length - source.at) png_error(png, "the file ends early");
  std::memcpy(out, source.bytes + source.at, count);
  source.at += count;
}

// The caller says what went wrong and names the file; libpng's own words would only be noise.
void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void onWarning(png_structp, png_const_charp) {}

// Reads the header, checks the size and decodes the rows into reading.pixels.
void readImage(Reading& reading) {
  if (setjmp(png_jmpbuf(reading.png))) return;
  png_structp png = reading.png;
  png_infop info = reading.info;
  png_set_read_fn(png, &reading.source, readSource);
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colourType = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
  if (uint64_t{width} * height > kIMKLargestImagePixels) {
    reading.result = IMKResultTooLarge;
    return;
  }
  const bool alpha = (colourType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
  png_set_expand(png);
  png_set_strip_16(png);
  if (!(colourType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
  if (reading.channels == 4 && !alpha) png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  if (reading.channels == 3 && alpha) png_set_strip_alpha(png);
  (void)png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const uint64_t rowBytes = uint64_t{width} * uint64_t(reading.channels);
  if (png_get_rowbytes(png, info) != rowBytes) return;
  reading.pixels = static_cast<uint8_t*>(std::malloc(rowBytes * height));
  reading.rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  if (!reading.pixels || !reading.rows) {
    reading.result = IMKResultNoMemory;
    return;
  }
  for (uint64_t y = 0; y < height; ++y) reading.rows[y] = reading.pixels + y * rowBytes;
  png_read_image(png, reading.rows);
  reading.width = width;
  reading.height = height;
  reading.result = IMKResultDone;
}

}  // namespace

int IMKFDecodePNG(const uint8_t* bytes, uint64_t length, int channels, uint8_t** pixels, uint32_t* width,
                  uint32_t* height) {
  if (!bytes || !IMKFLooksLikePNG(bytes, length) || (channels != 3 && channels != 4)) return IMKResultUndecodable;
  Reading reading;
  reading.source = {bytes, length, 0};
  reading.channels = channels;
  reading.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
  if (!reading.png) return IMKResultNoMemory;
  reading.info = png_create_info_struct(reading.png);
  if (reading.info) readImage(reading);
  else reading.result = IMKResultNoMemory;
  png_destroy_read_struct(&reading.png, reading.info ? &reading.info : nullptr, nullptr);
  std::free(reading.rows);
  if (reading.result != IMKResultDone) {
    std::free(reading.pixels);
    return reading.result;
  }
  *pixels = reading.pixels;
  *width = reading.width;
  *height = reading.height;
  return IMKResultDone;
}

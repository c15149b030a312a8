// JPEG encoding on libjpeg-turbo's libjpeg interface; libjpeg's fatal errors jump back here
// (IMKTJPEGErrors), and the encoder releases the compressor and the output and answers an error.
#include "modules/vision/module/QAVFEncodeJPEG.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

#include "imagekit/IMKFImageFormat.h"
#include "imagekit/IMKTJPEGErrors.h"

namespace {

struct Encoder {
  int components;
  J_COLOR_SPACE colorSpace;
};

// Indexed by the pixel format number minus 1.
constexpr Encoder kEncoders[] = {
    {3, JCS_EXT_RGB}, {4, JCS_EXT_RGBA}, {3, JCS_EXT_BGR}, {4, JCS_EXT_BGRA}, {4, JCS_EXT_ARGB},
};

// Where libjpeg's memory destination keeps the stream it grows with malloc.
struct Output {
  unsigned char* bytes = nullptr;
  unsigned long length = 0;
};

// Runs the whole compression; false after a libjpeg error. The output is left to the caller,
// who frees it in every case it does not keep it.
bool compress(const Encoder& encoder, const uint8_t* pixels, uint32_t width, uint32_t height, int quality,
              Output* output) {
  jpeg_compress_struct info;
  IMKTJPEGErrors errors;
  info.err = IMKFJPEGErrorsInit(&errors, "QAVFEncodeJPEG");
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  info.image_width = width;
  info.image_height = height;
  info.input_components = encoder.components;
  info.in_color_space = encoder.colorSpace;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_mem_dest(&info, &output->bytes, &output->length);
  jpeg_start_compress(&info, TRUE);
  const uint64_t stride = uint64_t{width} * static_cast<uint64_t>(encoder.components);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels + uint64_t{info.next_scanline} * stride);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

extern "C" int QAVFEncodeJPEG(uint32_t format, const uint8_t* pixels, uint32_t width, uint32_t height, int quality,
                              Ref<LLKCData>* encoded) {
  if (!pixels || !encoded || width == 0 || height == 0 || format < IMKPixelFormatRGB || format > IMKPixelFormatARGB)
    return kQAVEncodeBadCall;
  if (width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION) return kQAVEncodeTooLarge;
  Output output;
  if (!compress(kEncoders[format - 1], pixels, width, height, quality, &output)) {
    std::free(output.bytes);
    return kQAVEncodeFailed;
  }
  if (output.length == 0) {
    std::free(output.bytes);
    return kQAVEncodeFailed;
  }
  Ref<LLKCData> data = LLKCData::dataWithBytesNoCopy(output.bytes, output.length, true);
  if (!data) {
    std::free(output.bytes);
    return kQAVEncodeNoMemory;
  }
  *encoded = std::move(data);
  return kQAVEncodeDone;
}

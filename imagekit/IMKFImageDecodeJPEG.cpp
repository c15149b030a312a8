// JPEG decoding on libjpeg-turbo's libjpeg interface; libjpeg's fatal errors jump back here
// (IMKTJPEGErrors), so a bad stream never takes the process down.
#include "imagekit/IMKFImageDecodeJPEG.h"

#include "imagekit/IMKFImageFormat.h"
#include "imagekit/IMKJPEGDecoding.h"
#include "imagekit/IMKStandardHuffmanTables.h"
#include "imagekit/IMKTJPEGErrors.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

namespace {

// libjpeg only warns when the data runs out and fills the rest of the image with grey; a stream
// that ends early is a failed decode for us, so those two warnings end the decoding.
void emitMessage(j_common_ptr info, int level) {
  const int code = info->err->msg_code;
  if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) IMKFJPEGErrorExit(info);
  IMKFJPEGErrorsOf(info).standardEmitMessage(info, level);
}

void installTable(j_decompress_ptr info, JHUFF_TBL** slot, const IMKTHuffmanTable& table) {
  if (!*slot) *slot = jpeg_alloc_huff_table(reinterpret_cast<j_common_ptr>(info));
  for (int i = 0; i < 17; ++i) (*slot)->bits[i] = table.bits[i];
  for (int i = 0; i < 256; ++i) (*slot)->huffval[i] = i < table.valueCount ? table.values[i] : 0;
  (*slot)->sent_table = FALSE;
}

// Motion-JPEG frames may leave the Huffman tables out and rely on the standard ones.
void installStandardTablesWhenMissing(j_decompress_ptr info) {
  if (info->dc_huff_tbl_ptrs[0]) return;
  installTable(info, &info->dc_huff_tbl_ptrs[0], kIMKHuffmanDCLuminance);
  installTable(info, &info->dc_huff_tbl_ptrs[1], kIMKHuffmanDCChrominance);
  installTable(info, &info->ac_huff_tbl_ptrs[0], kIMKHuffmanACLuminance);
  installTable(info, &info->ac_huff_tbl_ptrs[1], kIMKHuffmanACChrominance);
}

// Where IMKFImageConvertFromMPEG wants the rows: its caller's buffer, for the size it expects.
struct CallerBuffer {
  uint8_t* dst;
  uint64_t dstLength;
  uint32_t stride, width, height;
};

uint8_t* rowsInCallerBuffer(void* context, uint32_t width, uint32_t height, uint64_t rowBytes, bool, uint64_t* stride) {
  const CallerBuffer& buffer = *static_cast<const CallerBuffer*>(context);
  if (width != buffer.width || height != buffer.height || rowBytes > buffer.stride) return nullptr;
  if (uint64_t{height - 1} * buffer.stride + rowBytes > buffer.dstLength) return nullptr;
  *stride = buffer.stride;
  return buffer.dst;
}

}  // namespace

bool IMKFDecodeJPEG(const uint8_t* bytes, uint64_t length, int colorSpace, bool keepCMYK, bool exactDCT,
                    IMKTJPEGRowsFor rowsFor, void* context) {
  if (!bytes || !length || colorSpace < JCS_GRAYSCALE || colorSpace > JCS_EXT_ARGB) return false;

  jpeg_decompress_struct info;
  IMKTJPEGErrors errors;
  info.err = IMKFJPEGErrorsInit(&errors, "IMKFImageConvertFromMPEG");
  errors.manager.emit_message = emitMessage;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }

  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes, static_cast<unsigned long>(length));
  jpeg_read_header(&info, TRUE);
  installStandardTablesWhenMissing(&info);
  const bool cmyk = keepCMYK && (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK);
  info.out_color_space = cmyk ? JCS_CMYK : static_cast<J_COLOR_SPACE>(colorSpace);
  info.dct_method = exactDCT ? JDCT_ISLOW : JDCT_IFAST;
  jpeg_calc_output_dimensions(&info);
  const uint64_t rowBytes = uint64_t{info.output_width} * static_cast<uint64_t>(info.out_color_components);
  uint64_t stride = 0;
  uint8_t* const first = rowsFor(context, info.output_width, info.output_height, rowBytes, cmyk, &stride);
  bool decoded = first != nullptr;
  if (decoded) {
    jpeg_start_decompress(&info);
    while (decoded && info.output_scanline < info.output_height) {
      JSAMPROW row = first + uint64_t{info.output_scanline} * stride;
      decoded = jpeg_read_scanlines(&info, &row, 1) == 1;
    }
    if (decoded) jpeg_finish_decompress(&info);
  }
  jpeg_destroy_decompress(&info);
  return decoded;
}

int IMKFJPEGColorSpaceFor(uint32_t format) {
  switch (format) {
    case IMKPixelFormatRGBA:
      return JCS_EXT_RGBA;
    case IMKPixelFormatBGR:
      return JCS_EXT_BGR;
    case IMKPixelFormatBGRA:
      return JCS_EXT_BGRA;
    case IMKPixelFormatARGB:
      return JCS_EXT_ARGB;
    default:
      return JCS_EXT_RGB;
  }
}

extern "C" bool IMKFImageConvertFromMPEG(const uint8_t* bytes, uint64_t length, uint8_t* dst, uint64_t dstLength,
                                         int colorSpace, uint32_t stride, uint32_t width, uint32_t height) {
  if (!dst) return false;
  CallerBuffer buffer{dst, dstLength, stride, width, height};
  return IMKFDecodeJPEG(bytes, length, colorSpace, false, false, rowsInCallerBuffer, &buffer);
}

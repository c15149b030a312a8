#include "tests/imagekit/JPEGFixtures.h"

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <jpeglib.h>

Bytes makeTestPicture(uint32_t width, uint32_t height) {
  Bytes rgb(size_t{width} * height * 3);
  uint32_t noise = 12345;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      uint8_t* p = &rgb[(size_t{y} * width + x) * 3];
      p[0] = static_cast<uint8_t>(x * 255 / (width ? width : 1));
      p[1] = static_cast<uint8_t>(y * 255 / (height ? height : 1));
      p[2] = static_cast<uint8_t>(((x / 4 + y / 4) % 2) * 160 + (noise >> 24) % 64);
    }
  return rgb;
}

Bytes encodeJPEG(const Bytes& rgb, uint32_t width, uint32_t height, const JPEGOptions& options) {
  const bool grey = options.sampling == Sampling::grey, cmyk = options.sampling == Sampling::cmyk;
  const size_t count = size_t{width} * height;
  Bytes input = rgb;
  if (grey) {
    input.resize(count);
    for (size_t i = 0; i < count; ++i)
      input[i] = static_cast<uint8_t>((rgb[3 * i] * 77 + rgb[3 * i + 1] * 150 + rgb[3 * i + 2] * 29) >> 8);
  }
  if (cmyk) {
    input.resize(count * 4);
    for (size_t i = 0; i < count; ++i) {
      std::copy(rgb.begin() + 3 * i, rgb.begin() + 3 * i + 3, input.begin() + 4 * i);
      input[4 * i + 3] = static_cast<uint8_t>(128 + (i * 13) % 128);
    }
  }
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&info, &out, &outSize);
  info.image_width = width;
  info.image_height = height;
  info.input_components = grey ? 1 : cmyk ? 4 : 3;
  info.in_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, options.quality, TRUE);
  info.optimize_coding = options.optimizeTables ? TRUE : FALSE;
  if (!grey && !cmyk) {
    const int factor = options.sampling == Sampling::s420 ? 2 : 1;
    info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = factor;
  }
  if (options.progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  const size_t stride = size_t{width} * info.input_components;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = &input[info.next_scanline * stride];
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  Bytes jpeg(out, out + outSize);
  jpeg_destroy_compress(&info);
  std::free(out);
  return jpeg;
}

Bytes referenceDecode(const Bytes& jpeg, int colorSpace, DCT dct) {
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, jpeg.data(), jpeg.size());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = static_cast<J_COLOR_SPACE>(colorSpace);
  info.dct_method = dct == DCT::exact ? JDCT_ISLOW : JDCT_IFAST;
  jpeg_start_decompress(&info);
  const size_t stride = size_t{info.output_width} * info.output_components;
  Bytes pixels(stride * info.output_height);
  std::vector<JSAMPROW> rows(info.output_height);
  for (size_t y = 0; y < rows.size(); ++y) rows[y] = &pixels[y * stride];
  while (info.output_scanline < info.output_height)
    jpeg_read_scanlines(&info, &rows[info.output_scanline], info.output_height - info.output_scanline);
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return pixels;
}

Bytes withoutHuffmanTables(const Bytes& jpeg) {
  Bytes out(jpeg.begin(), jpeg.begin() + 2);  // SOI
  size_t at = 2;
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
    const uint8_t marker = jpeg[at + 1];
    if (marker == 0xDA) break;  // start of scan: the rest is entropy-coded data
    const size_t segment = 2 + (size_t{jpeg[at + 2]} << 8 | jpeg[at + 3]);
    if (marker != 0xC4) out.insert(out.end(), jpeg.begin() + at, jpeg.begin() + at + segment);
    at += segment;
  }
  out.insert(out.end(), jpeg.begin() + at, jpeg.end());
  return out;
}

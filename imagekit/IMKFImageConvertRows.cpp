// The twenty row converters, all made from one per-pixel rule: each format names where its red,
// green, blue and alpha bytes sit; a converter moves the channels and makes alpha 255 when the
// source has none.
#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKPixelRows.h"

namespace {

template <int Size, int R, int G, int B, int A>
struct Layout {
  static constexpr int size = Size, r = R, g = G, b = B, a = A;
  static constexpr bool hasAlpha = A >= 0;
};
using RGB = Layout<3, 0, 1, 2, -1>;
using RGBA = Layout<4, 0, 1, 2, 3>;
using BGR = Layout<3, 2, 1, 0, -1>;
using BGRA = Layout<4, 2, 1, 0, 3>;
using ARGB = Layout<4, 1, 2, 3, 0>;

// Reads every byte of the source pixel before writing, so dst may equal src.
template <class From, class To>
inline void convertPixel(uint8_t* d, const uint8_t* s) {
  const uint8_t r = s[From::r], g = s[From::g], b = s[From::b];
  uint8_t a = 255;
  if constexpr (From::hasAlpha) a = s[From::a];
  d[To::r] = r;
  d[To::g] = g;
  d[To::b] = b;
  if constexpr (To::hasAlpha) d[To::a] = a;
}

// Separate buffers: the compiler may vectorise freely.
template <class From, class To>
void convertApart(uint8_t* __restrict dst, const uint8_t* __restrict src, uint64_t count) {
  for (uint64_t i = 0; i < count; ++i) convertPixel<From, To>(dst + i * To::size, src + i * From::size);
}

template <class From, class To>
void convertInPlace(uint8_t* pixels, uint64_t count) {
  for (uint64_t i = 0; i < count; ++i) convertPixel<From, To>(pixels + i * To::size, pixels + i * From::size);
}

template <class From, class To>
void convertRow(uint8_t* dst, const uint8_t* src, uint64_t count) {
  if constexpr (From::size == To::size) {
    if (dst == src) return convertInPlace<From, To>(dst, count);
  }
  convertApart<From, To>(dst, src, count);
}

}  // namespace

#define IMK_ROW_CONVERTER(FROM, TO)                                                            \
  extern "C" void IMKFImageConvert##FROM##2##TO(uint8_t* dst, const uint8_t* src, uint64_t count) { \
    convertRow<FROM, TO>(dst, src, count);                                                      \
  }
IMK_ROW_CONVERTER(RGB, RGBA)
IMK_ROW_CONVERTER(RGB, BGR)
IMK_ROW_CONVERTER(RGB, BGRA)
IMK_ROW_CONVERTER(RGB, ARGB)
IMK_ROW_CONVERTER(RGBA, RGB)
IMK_ROW_CONVERTER(RGBA, BGR)
IMK_ROW_CONVERTER(RGBA, BGRA)
IMK_ROW_CONVERTER(RGBA, ARGB)
IMK_ROW_CONVERTER(BGR, RGB)
IMK_ROW_CONVERTER(BGR, RGBA)
IMK_ROW_CONVERTER(BGR, BGRA)
IMK_ROW_CONVERTER(BGR, ARGB)
IMK_ROW_CONVERTER(BGRA, RGB)
IMK_ROW_CONVERTER(BGRA, RGBA)
IMK_ROW_CONVERTER(BGRA, BGR)
IMK_ROW_CONVERTER(BGRA, ARGB)
IMK_ROW_CONVERTER(ARGB, RGB)
IMK_ROW_CONVERTER(ARGB, RGBA)
IMK_ROW_CONVERTER(ARGB, BGR)
IMK_ROW_CONVERTER(ARGB, BGRA)
#undef IMK_ROW_CONVERTER

IMKTRowConverter IMKFRowConverter(uint32_t srcFormat, uint32_t dstFormat) {
  // Indexed by format number 1 to 5; the diagonal has no converter.
  static constexpr IMKTRowConverter table[5][5] = {
      {nullptr, IMKFImageConvertRGB2RGBA, IMKFImageConvertRGB2BGR, IMKFImageConvertRGB2BGRA, IMKFImageConvertRGB2ARGB},
      {IMKFImageConvertRGBA2RGB, nullptr, IMKFImageConvertRGBA2BGR, IMKFImageConvertRGBA2BGRA, IMKFImageConvertRGBA2ARGB},
      {IMKFImageConvertBGR2RGB, IMKFImageConvertBGR2RGBA, nullptr, IMKFImageConvertBGR2BGRA, IMKFImageConvertBGR2ARGB},
      {IMKFImageConvertBGRA2RGB, IMKFImageConvertBGRA2RGBA, IMKFImageConvertBGRA2BGR, nullptr, IMKFImageConvertBGRA2ARGB},
      {IMKFImageConvertARGB2RGB, IMKFImageConvertARGB2RGBA, IMKFImageConvertARGB2BGR, IMKFImageConvertARGB2BGRA, nullptr},
  };
  if (!IMKFIsRawFormat(srcFormat) || !IMKFIsRawFormat(dstFormat)) return nullptr;
  return table[srcFormat - 1][dstFormat - 1];
}

// The twenty row converters, all made from one per-pixel rule: each format names where its red,
// green, blue and alpha bytes sit; a converter moves the channels and makes alpha 255 when the
// source has none. The bulk of a row goes through byte shuffles (SSSE3, or AVX2 where the
// processor has it) built from the same rule; the scalar rule does what is left.
#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKPixelRows.h"

#include <array>
#include <tuple>
#include <utility>
#include <immintrin.h>

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

template <class From, class To>
void convertScalar(uint8_t* dst, const uint8_t* src, uint64_t count) {
  for (uint64_t i = 0; i < count; ++i) convertPixel<From, To>(dst + i * To::size, src + i * From::size);
}

// The rule as a 16-byte shuffle: one step converts `pixels` pixels, loading and storing 16
// bytes. Destination bytes beyond the step's pixels are rewritten by the next step; between two
// three-byte formats the 16th byte is stored back unchanged, so the shuffle also works in place.
template <class From, class To>
struct Shuffle {
  static constexpr int pixels = From::size == 3 && To::size == 3 ? 5 : 4;
  // Pixels that must remain for a 16-byte load and store to stay inside both rows.
  static constexpr uint64_t reach = From::size == 3 || To::size == 3 ? 6 : 4;
  static constexpr uint8_t zero = 0x80;

  static constexpr std::array<uint8_t, 16> mask = [] {
    std::array<uint8_t, 16> m{};
    m.fill(zero);
    for (int p = 0; p < pixels; ++p) {
      const int d = p * To::size, s = p * From::size;
      m[d + To::r] = static_cast<uint8_t>(s + From::r);
      m[d + To::g] = static_cast<uint8_t>(s + From::g);
      m[d + To::b] = static_cast<uint8_t>(s + From::b);
      if constexpr (To::hasAlpha) m[d + To::a] = From::hasAlpha ? static_cast<uint8_t>(s + From::a) : zero;
    }
    if (pixels * To::size == 15) m[15] = 15;
    return m;
  }();

  static constexpr std::array<uint8_t, 16> alpha = [] {
    std::array<uint8_t, 16> a{};
    if (To::hasAlpha && !From::hasAlpha)
      for (int p = 0; p < pixels; ++p) a[p * To::size + To::a] = 0xFF;
    return a;
  }();
};

template <class From, class To>
__attribute__((target("ssse3"))) uint64_t convertSSSE3(uint8_t* dst, const uint8_t* src, uint64_t count) {
  using S = Shuffle<From, To>;
  const __m128i mask = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S::mask.data()));
  const __m128i alpha = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S::alpha.data()));
  uint64_t i = 0;
  for (; count - i >= S::reach && count >= S::reach; i += S::pixels) {
    const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * From::size));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i * To::size), _mm_or_si128(_mm_shuffle_epi8(in, mask), alpha));
  }
  return i;
}

template <class From, class To>
__attribute__((target("avx2"))) uint64_t convertAVX2(uint8_t* dst, const uint8_t* src, uint64_t count) {
  using S = Shuffle<From, To>;
  const __m256i mask = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(S::mask.data())));
  const __m256i alpha = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(S::alpha.data())));
  uint64_t i = 0;
  for (; count >= S::pixels + S::reach && count - i >= S::pixels + S::reach; i += 2 * S::pixels) {
    const uint8_t* in = src + i * From::size;
    const __m256i both =
        _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in))),
                                _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + S::pixels * From::size)), 1);
    const __m256i out = _mm256_or_si256(_mm256_shuffle_epi8(both, mask), alpha);
    uint8_t* to = dst + i * To::size;
    if constexpr (S::pixels * To::size == 16) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(to), out);
    } else {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm256_castsi256_si128(out));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to + S::pixels * To::size), _mm256_extracti128_si256(out, 1));
    }
  }
  return i;
}

template <class From, class To, IMKTVectorLevel Level>
void convertAt(uint8_t* dst, const uint8_t* src, uint64_t count) {
  uint64_t done = 0;
  if constexpr (Level == IMKTVectorLevel::avx2) done = convertAVX2<From, To>(dst, src, count);
  if constexpr (Level == IMKTVectorLevel::ssse3) done = convertSSSE3<From, To>(dst, src, count);
  convertScalar<From, To>(dst + done * To::size, src + done * From::size, count - done);
}

template <class From, class To>
void convertRow(uint8_t* dst, const uint8_t* src, uint64_t count) {
  switch (IMKFVectorLevel()) {
    case IMKTVectorLevel::avx2:
      return convertAt<From, To, IMKTVectorLevel::avx2>(dst, src, count);
    case IMKTVectorLevel::ssse3:
      return convertAt<From, To, IMKTVectorLevel::ssse3>(dst, src, count);
    case IMKTVectorLevel::scalar:
      return convertAt<From, To, IMKTVectorLevel::scalar>(dst, src, count);
  }
}

// Converters of one level for every pair, indexed by (format - 1) x 5 + (format - 1).
using Layouts = std::tuple<RGB, RGBA, BGR, BGRA, ARGB>;

template <IMKTVectorLevel Level, size_t From, size_t To>
constexpr IMKTRowConverter converterAt() {
  if constexpr (From == To) return nullptr;
  else return convertAt<std::tuple_element_t<From, Layouts>, std::tuple_element_t<To, Layouts>, Level>;
}

template <IMKTVectorLevel Level, size_t... Pair>
constexpr std::array<IMKTRowConverter, 25> converterTable(std::index_sequence<Pair...>) {
  return {converterAt<Level, Pair / 5, Pair % 5>()...};
}

template <IMKTVectorLevel Level>
constexpr std::array<IMKTRowConverter, 25> kConverters = converterTable<Level>(std::make_index_sequence<25>{});

}  // namespace

#define IMK_ROW_CONVERTER(FROM, TO)                                                                 \
  extern "C" void IMKFImageConvert##FROM##2##TO(uint8_t* dst, const uint8_t* src, uint64_t count) { \
    convertRow<FROM, TO>(dst, src, count);                                                          \
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

IMKTVectorLevel IMKFVectorLevel() {
  static const IMKTVectorLevel level = [] {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return IMKTVectorLevel::avx2;
    if (__builtin_cpu_supports("ssse3")) return IMKTVectorLevel::ssse3;
    return IMKTVectorLevel::scalar;
  }();
  return level;
}

IMKTRowConverter IMKFRowConverterAt(uint32_t srcFormat, uint32_t dstFormat, IMKTVectorLevel level) {
  if (!IMKFIsRawFormat(srcFormat) || !IMKFIsRawFormat(dstFormat)) return nullptr;
  const size_t pair = (srcFormat - 1) * 5 + (dstFormat - 1);
  switch (level) {
    case IMKTVectorLevel::avx2:
      return kConverters<IMKTVectorLevel::avx2>[pair];
    case IMKTVectorLevel::ssse3:
      return kConverters<IMKTVectorLevel::ssse3>[pair];
    case IMKTVectorLevel::scalar:
      break;
  }
  return kConverters<IMKTVectorLevel::scalar>[pair];
}

IMKTRowConverter IMKFRowConverter(uint32_t srcFormat, uint32_t dstFormat) {
  return IMKFRowConverterAt(srcFormat, dstFormat, IMKFVectorLevel());
}

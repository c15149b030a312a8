// JPEG decoding against TurboJPEG with the same (fast integer) DCT, on 4:2:0 pictures encoded at
// quality 90; outputs checked equal before timing.
#include "imagekit/IMKFImageConvert.h"
#include "tests/imagekit/JPEGFixtures.h"

#include <benchmark/benchmark.h>
#include <turbojpeg.h>

namespace {

const Bytes& pictureJPEG(uint32_t width, uint32_t height) {
  static Bytes small = encodeJPEG(makeTestPicture(640, 480), 640, 480, {});
  static Bytes large = encodeJPEG(makeTestPicture(1920, 1080), 1920, 1080, {});
  return width == 640 ? small : large;
}

bool decodeOurs(const Bytes& jpeg, uint32_t width, uint32_t height, Bytes& rgb) {
  return IMKFImageConvert(width, height, jpeg.data(), jpeg.size(), IMKPixelFormatJPEG, rgb.data(), rgb.size(),
                          IMKPixelFormatRGB) == 0;
}

bool decodeTurbo(tjhandle handle, const Bytes& jpeg, uint32_t width, uint32_t height, Bytes& rgb) {
  return tjDecompress2(handle, jpeg.data(), jpeg.size(), rgb.data(), static_cast<int>(width), 0,
                       static_cast<int>(height), TJPF_RGB, TJFLAG_FASTDCT) == 0;
}

void benchJPEG(benchmark::State& state, bool ours) {
  const uint32_t width = static_cast<uint32_t>(state.range(0)), height = static_cast<uint32_t>(state.range(1));
  const Bytes& jpeg = pictureJPEG(width, height);
  Bytes rgb(IMKFImageLength(width, height, IMKPixelFormatRGB)), check(rgb.size());
  tjhandle handle = tjInitDecompress();
  if (!decodeOurs(jpeg, width, height, rgb) || !decodeTurbo(handle, jpeg, width, height, check) || rgb != check) {
    state.SkipWithError("outputs differ");
  } else {
    for (auto _ : state) {
      benchmark::DoNotOptimize(ours ? decodeOurs(jpeg, width, height, rgb)
                                    : decodeTurbo(handle, jpeg, width, height, rgb));
      benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * width * height);
  }
  tjDestroy(handle);
}

void JPEG_Decode_imk(benchmark::State& state) { benchJPEG(state, true); }
void JPEG_Decode_turbojpeg(benchmark::State& state) { benchJPEG(state, false); }

BENCHMARK(JPEG_Decode_imk)->Args({640, 480})->Args({1920, 1080});
BENCHMARK(JPEG_Decode_turbojpeg)->Args({640, 480})->Args({1920, 1080});

}  // namespace

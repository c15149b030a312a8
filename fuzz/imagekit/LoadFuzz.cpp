// The image loader on untrusted bytes. Input: one byte picking the format, then the file's bytes.
#include "imagekit/IMKFImageLoad.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > INT32_MAX) return 0;
  const uint32_t format = data[0] % 7;
  Ref<LLKCData> pixels;
  uint32_t width = 0, height = 0;
  if (IMKFImageLoadFromMemory(data + 1, static_cast<int32_t>(size - 1), format, &pixels, &width, &height) == 0) {
    const uint64_t channels = IMKFPixelSize(format) == 4 ? 4 : 3;
    if (!pixels || pixels->length() != uint64_t{width} * height * channels) std::abort();
  }
  return 0;
}

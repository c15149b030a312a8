// The JPEG path of the converter on untrusted streams. Input: one byte picking the destination
// format, the expected width and height (two bytes each, little-endian), then the JPEG stream.
// The destination is exactly as long as the image, so any write past it is caught.
#include "imagekit/IMKFImageConvert.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr uint32_t kMaxSide = 512;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  const uint32_t format = 1 + data[0] % 5;
  const uint32_t width = (data[1] | data[2] << 8) % (kMaxSide + 1);
  const uint32_t height = (data[3] | data[4] << 8) % (kMaxSide + 1);
  std::vector<uint8_t> dst(IMKFImageLength(width, height, format));
  IMKFImageConvert(width, height, data + 5, size - 5, IMKPixelFormatJPEG, dst.data(), dst.size(), format);
  return 0;
}

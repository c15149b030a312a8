// Conversion and pasting on arbitrary sizes, formats and lengths. Input: width, height, source
// format, destination format, destination slack and placement bytes, then the source pixels.
#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKFImageReplace.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  const uint32_t width = data[0] % 64, height = data[1] % 64;
  const uint32_t srcFormat = data[2] % 7, dstFormat = data[3] % 7;
  const int slack = static_cast<int8_t>(data[4]);
  const uint32_t x = data[5] % 70, y = data[6] % 70;
  const bool inPlace = data[7] & 1;
  const std::vector<uint8_t> src(data + 8, data + size);

  const uint64_t need = IMKFImageLength(width, height, dstFormat);
  std::vector<uint8_t> dst(static_cast<size_t>(std::max<int64_t>(0, int64_t(need) + slack)));
  const int result =
      IMKFImageConvert(width, height, src.data(), src.size(), srcFormat, dst.data(), dst.size(), dstFormat);
  if (result != 0 && result != 8 && result != 22 && result != 26) std::abort();

  if (inPlace && IMKFPixelSize(srcFormat) == IMKFPixelSize(dstFormat)) {
    std::vector<uint8_t> image = src;
    IMKFImageConvert(width, height, image.data(), image.size(), srcFormat, image.data(), image.size(), dstFormat);
  }

  const uint32_t dstWidth = width + data[4] % 8, dstHeight = height + data[5] % 8;
  std::vector<uint8_t> canvas(IMKFImageLength(dstWidth, dstHeight, dstFormat));
  IMKFImageReplace(width, height, src.data(), src.size(), srcFormat, dstWidth, dstHeight, x, y, canvas.data(),
                   canvas.size(), dstFormat);
  return 0;
}

#include "imagekit/IMKFImageDump.h"

#include "imagekit/IMKPixelRows.h"

#include <cstdio>
#include <new>
#include <sys/stat.h>
#include <vector>

namespace {

bool writeAll(std::FILE* file, const uint8_t* bytes, size_t length) {
  return length == 0 || std::fwrite(bytes, 1, length, file) == length;
}

bool writePixels(std::FILE* file, uint32_t format, const uint8_t* data, uint32_t width, uint32_t height) {
  const uint64_t rgbRow = uint64_t{width} * 3;
  if (format == IMKPixelFormatRGB) return writeAll(file, data, rgbRow * height);
  const IMKTRowConverter toRGB = IMKFRowConverter(format, IMKPixelFormatRGB);
  const uint64_t sourceRow = uint64_t{width} * IMKFPixelSize(format);
  std::vector<uint8_t> row(rgbRow);
  for (uint32_t y = 0; y < height; ++y) {
    toRGB(row.data(), data + y * sourceRow, width);
    if (!writeAll(file, row.data(), row.size())) return false;
  }
  return true;
}

// A failed dump leaves no half-written picture behind; a device or pipe is never unlinked.
void removeIfRegularFile(const char* path) {
  struct stat status {};
  if (stat(path, &status) == 0 && S_ISREG(status.st_mode)) std::remove(path);
}

}  // namespace

extern "C" int IMKFImageDumpIntoFile(const char* path, uint32_t format, const uint8_t* data, uint64_t length,
                                     uint32_t width, uint32_t height) {
  if (!IMKFIsRawFormat(format)) return IMKResultBadFormatArg;
  const uint64_t need = IMKFImageBytes(width, height, IMKFPixelSize(format));
  if (length < need || (!data && need)) return IMKResultInvalid;
  if (!path) return IMKResultUndecodable;
  std::FILE* file = std::fopen(path, "wb");
  if (!file) return IMKResultUndecodable;

  int result = IMKResultDone;
  try {
    const bool written =
        std::fprintf(file, "P6 %u %u %d\n", width, height, 255) > 0 && writePixels(file, format, data, width, height);
    if (!written) result = IMKResultIOFailed;
  } catch (const std::bad_alloc&) {
    result = IMKResultNoMemory;
  }
  if (std::fclose(file) != 0 && result == IMKResultDone) result = IMKResultIOFailed;
  if (result != IMKResultDone) removeIfRegularFile(path);
  return result;
}

#include "imagekit/IMKFImageDump.h"
#include "imagekit/IMKFImageReplace.h"
#include "imagekit/IMKFImageFormat.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint8_t kUntouched = 0xA5;

std::string tempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / ("imk-" + std::to_string(getpid()) + "-" + name)).string();
}

Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes withHeader(const std::string& header, const Bytes& pixels) {
  Bytes bytes(header.begin(), header.end());
  bytes.insert(bytes.end(), pixels.begin(), pixels.end());
  return bytes;
}

}  // namespace

TEST(ImageDump, WritesRGBRowsForEveryFormat) {
  const Bytes four = {1, 2, 3, 4, 5, 6, 7, 8};
  const Bytes three = {1, 2, 3, 4, 5, 6};
  const struct {
    uint32_t format;
    Bytes data;
    Bytes pixels;
  } cases[] = {
      {IMKPixelFormatRGB, three, {1, 2, 3, 4, 5, 6}}, {IMKPixelFormatRGBA, four, {1, 2, 3, 5, 6, 7}},
      {IMKPixelFormatBGR, three, {3, 2, 1, 6, 5, 4}}, {IMKPixelFormatBGRA, four, {3, 2, 1, 7, 6, 5}},
      {IMKPixelFormatARGB, four, {2, 3, 4, 6, 7, 8}},
  };
  const std::string path = tempPath("dump.ppm");
  for (const auto& c : cases) {
    ASSERT_EQ(IMKFImageDumpIntoFile(path.c_str(), c.format, c.data.data(), c.data.size(), 2, 1), 0);
    EXPECT_EQ(readFile(path), withHeader("P6 2 1 255\n", c.pixels)) << c.format;
  }
  ASSERT_EQ(IMKFImageDumpIntoFile(path.c_str(), IMKPixelFormatRGBA, nullptr, 0, 0, 4), 0);
  EXPECT_EQ(readFile(path), withHeader("P6 0 4 255\n", {}));
  std::remove(path.c_str());
}

TEST(ImageDump, ReportsWhatWentWrong) {
  const Bytes rgba = {1, 2, 3, 4, 5, 6, 7, 8};
  const std::string path = tempPath("refused.ppm");
  EXPECT_EQ(IMKFImageDumpIntoFile(path.c_str(), IMKPixelFormatJPEG, rgba.data(), rgba.size(), 2, 1), 11);
  EXPECT_EQ(IMKFImageDumpIntoFile(path.c_str(), 6, rgba.data(), rgba.size(), 2, 1), 11);
  EXPECT_EQ(IMKFImageDumpIntoFile(path.c_str(), IMKPixelFormatRGBA, rgba.data(), rgba.size() - 1, 2, 1), 22);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(
      IMKFImageDumpIntoFile((path + "/no/such/folder.ppm").c_str(), IMKPixelFormatRGBA, rgba.data(), rgba.size(), 2, 1),
      26);
}

// A file-size limit makes the writes fail part-way: the failure is reported and no half-written
// picture stays behind.
TEST(ImageDump, FailedWritesAreReportedAndCleanedUp) {
  const std::string path = tempPath("limited.ppm");
  const Bytes big(3 * 256 * 256, 9);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const int result = IMKFImageDumpIntoFile(path.c_str(), IMKPixelFormatRGB, big.data(), big.size(), 256, 256);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(result, 5);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ImageReplace, PastesWithConversionAtThePlace) {
  // A 2 x 1 RGB source into a 3 x 3 BGRA destination at column 1, row 2.
  const Bytes src = {1, 2, 3, 4, 5, 6};
  Bytes dst(3 * 3 * 4, 0);
  ASSERT_EQ(IMKFImageReplace(2, 1, src.data(), src.size(), IMKPixelFormatRGB, 3, 3, 1, 2, dst.data(), dst.size(),
                             IMKPixelFormatBGRA),
            0);
  Bytes expected(3 * 3 * 4, 0);
  const Bytes pasted = {3, 2, 1, 255, 6, 5, 4, 255};
  std::copy(pasted.begin(), pasted.end(), expected.begin() + (2 * 3 + 1) * 4);
  EXPECT_EQ(dst, expected);
}

TEST(ImageReplace, ARGBSourcesArePastedToo) {
  const Bytes src = {9, 1, 2, 3};
  Bytes dst(2 * 4, 0);
  ASSERT_EQ(IMKFImageReplace(1, 1, src.data(), src.size(), IMKPixelFormatARGB, 2, 1, 1, 0, dst.data(), dst.size(),
                             IMKPixelFormatRGBA),
            0);
  EXPECT_EQ(dst, (Bytes{0, 0, 0, 0, 1, 2, 3, 9}));
}

TEST(ImageReplace, SameFormatRowsCopyAndSameAddressConvertsInPlace) {
  Bytes image = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // 2 x 2 RGB
  ASSERT_EQ(IMKFImageReplace(2, 2, image.data(), image.size(), IMKPixelFormatRGB, 2, 2, 0, 0, image.data(),
                             image.size(), IMKPixelFormatBGR),
            0);
  EXPECT_EQ(image, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));
  Bytes dst(4 * 3, 0);
  ASSERT_EQ(
      IMKFImageReplace(1, 2, image.data(), 6, IMKPixelFormatRGB, 2, 2, 1, 0, dst.data(), dst.size(), IMKPixelFormatRGB),
      0);
  EXPECT_EQ(dst, (Bytes{0, 0, 0, 3, 2, 1, 0, 0, 0, 6, 5, 4}));
}

TEST(ImageReplace, RefusesBadFormatsAndPlacementsBeforeWriting) {
  const Bytes src(2 * 2 * 4, 1);
  const struct {
    const char* what;
    uint32_t srcFormat, dstFormat, x, y;
    uint64_t srcLength, dstLength;
    int result;
  } cases[] = {
      {"destination format 0", IMKPixelFormatRGBA, IMKPixelFormatJPEG, 0, 0, 16, 48, 11},
      {"source format 6", 6, IMKPixelFormatRGBA, 0, 0, 16, 48, 11},
      {"past the right edge", IMKPixelFormatRGBA, IMKPixelFormatRGBA, 3, 0, 16, 48, 22},
      {"past the bottom edge", IMKPixelFormatRGBA, IMKPixelFormatRGBA, 0, 2, 16, 48, 22},
      {"x wrapping around", IMKPixelFormatRGBA, IMKPixelFormatRGBA, UINT32_MAX, 0, 16, 48, 22},
      {"source shorter than its image", IMKPixelFormatRGBA, IMKPixelFormatRGBA, 0, 0, 15, 48, 22},
      {"destination shorter than its image", IMKPixelFormatRGBA, IMKPixelFormatRGBA, 0, 0, 16, 47, 22},
  };
  for (const auto& c : cases) {
    Bytes dst(48, kUntouched);  // 4 x 3 RGBA
    EXPECT_EQ(IMKFImageReplace(2, 2, src.data(), c.srcLength, c.srcFormat, 4, 3, c.x, c.y, dst.data(), c.dstLength,
                               c.dstFormat),
              c.result)
        << c.what;
    EXPECT_EQ(dst, Bytes(48, kUntouched)) << c.what;
  }
}

#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKFImageLoad.h"
#include "tests/imagekit/JPEGFixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

// A 3 x 2 picture with `channels` channels (1 grey, 3 RGB, 4 RGBA), distinct bytes.
Bytes picture(int channels) {
  Bytes bytes(size_t(3 * 2 * channels));
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(10 + i * 7);
  return bytes;
}

Bytes pngOf(const Bytes& pixels, int channels) {
  Bytes png;
  stbi_write_png_to_func(
      [](void* context, void* data, int size) {
        auto* out = static_cast<Bytes*>(context);
        out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
      },
      &png, 3, 2, channels, pixels.data(), 3 * channels);
  return png;
}

class TempFile {
public:
  explicit TempFile(const Bytes& bytes) {
    path_ = (std::filesystem::temp_directory_path() /
             ("imk-load-" + std::to_string(getpid()) + "-" + std::to_string(counter_++) + ".png"))
                .string();
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  ~TempFile() { std::remove(path_.c_str()); }
  const char* path() const { return path_.c_str(); }

private:
  static inline int counter_ = 0;
  std::string path_;
};

struct Loaded {
  int result = -1;
  Ref<LLKCData> data;
  uint32_t width = 0, height = 0;
  Bytes bytes() const { return data ? Bytes(data->bytes(), data->bytes() + data->length()) : Bytes{}; }
};

Loaded loadMemory(const Bytes& encoded, uint32_t format) {
  Loaded loaded;
  loaded.result = IMKFImageLoadFromMemory(encoded.data(), static_cast<int32_t>(encoded.size()), format, &loaded.data,
                                          &loaded.width, &loaded.height);
  return loaded;
}

}  // namespace

TEST(ImageLoad, DeliversTheAskedFormatWhateverTheFileHolds) {
  const Bytes grey = picture(1), rgb = picture(3), rgba = picture(4);
  struct Case {
    const char* what;
    Bytes file;
    uint32_t format;
    Bytes expectedFirstPixel;
  } cases[] = {
      {"grey as BGR", pngOf(grey, 1), IMKPixelFormatBGR, {10, 10, 10}},
      {"RGBA as BGR", pngOf(rgba, 4), IMKPixelFormatBGR, {24, 17, 10}},
      {"RGBA as BGRA", pngOf(rgba, 4), IMKPixelFormatBGRA, {24, 17, 10, 31}},
      {"RGBA as ARGB", pngOf(rgba, 4), IMKPixelFormatARGB, {31, 10, 17, 24}},
      {"RGB as ARGB", pngOf(rgb, 3), IMKPixelFormatARGB, {255, 10, 17, 24}},
      {"RGB as RGBA", pngOf(rgb, 3), IMKPixelFormatRGBA, {10, 17, 24, 255}},
      {"RGBA as RGB", pngOf(rgba, 4), IMKPixelFormatRGB, {10, 17, 24}},
      {"RGB as format 9 (RGB)", pngOf(rgb, 3), 9, {10, 17, 24}},
  };
  for (const Case& c : cases) {
    TempFile file(c.file);
    Loaded loaded;
    loaded.result = IMKFImageLoadFromFile(file.path(), c.format, &loaded.data, &loaded.width, &loaded.height);
    ASSERT_EQ(loaded.result, 0) << c.what;
    EXPECT_EQ(loaded.width, 3u);
    EXPECT_EQ(loaded.height, 2u);
    const Bytes bytes = loaded.bytes();
    ASSERT_EQ(bytes.size(), 6 * c.expectedFirstPixel.size()) << c.what;
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + c.expectedFirstPixel.size()), c.expectedFirstPixel) << c.what;
    EXPECT_EQ(loadMemory(c.file, c.format).bytes(), bytes) << c.what << " from memory";
  }
}

TEST(ImageLoad, FailuresLeaveTheOutsAlone) {
  const Bytes png = pngOf(picture(3), 3);
  TempFile file(png);
  TempFile junk(Bytes(100, 0x33));
  const std::string missing = std::string(file.path()) + ".missing";
  // A named pipe with no writer: reading it would wait for ever.
  const std::string pipe = std::string(file.path()) + ".pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const std::string folder = std::filesystem::temp_directory_path().string();
  struct Case {
    const char* what;
    const char* path;
    uint32_t format;
    int result;
  } cases[] = {
      {"format 0 of an existing file", file.path(), IMKPixelFormatJPEG, 22},
      {"missing file", missing.c_str(), IMKPixelFormatRGB, 5},
      {"no path", nullptr, IMKPixelFormatRGB, 5},
      {"undecodable file", junk.path(), IMKPixelFormatRGB, 26},
      {"named pipe", pipe.c_str(), IMKPixelFormatRGB, 26},
      {"folder", folder.c_str(), IMKPixelFormatRGB, 26},
  };
  for (const Case& c : cases) {
    Ref<LLKCData> data;
    uint32_t width = 77, height = 88;
    EXPECT_EQ(IMKFImageLoadFromFile(c.path, c.format, &data, &width, &height), c.result) << c.what;
    EXPECT_FALSE(data) << c.what;
    EXPECT_EQ(width, 77u);
    EXPECT_EQ(height, 88u);
  }
  EXPECT_EQ(IMKFImageLoadFromFile(file.path(), IMKPixelFormatRGB, nullptr, nullptr, nullptr), 22);
  std::remove(pipe.c_str());
}

// A 24-byte TGA announcing 65535 x 8272 pixels: refused at once, not filled with gigabytes of zeros.
TEST(ImageLoad, RefusesTinyFilesAnnouncingHugeImages) {
  Bytes tga(18, 0);
  tga[2] = 2;  // uncompressed true colour
  tga[12] = 0xFF, tga[13] = 0xFF, tga[14] = 0x50, tga[15] = 0x20, tga[16] = 24, tga[17] = 0x20;
  tga.insert(tga.end(), {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(loadMemory(tga, IMKPixelFormatRGB).result, 26);
  // The same header with a believable size loads (the missing pixels come out as zeros).
  tga[12] = 4, tga[13] = 0, tga[14] = 2, tga[15] = 0;
  const Loaded small = loadMemory(tga, IMKPixelFormatRGB);
  ASSERT_EQ(small.result, 0);
  EXPECT_EQ(small.width, 4u);
  EXPECT_EQ(small.height, 2u);
}

TEST(ImageLoad, PNMHeadersWhoseNumbersOverflowAreRefused) {
  auto pnm = [](const std::string& header) {
    Bytes bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), {1, 2, 3, 4, 5, 6});
    return bytes;
  };
  const Loaded plain = loadMemory(pnm("P6 2 # two by one\n1 255\n"), IMKPixelFormatBGR);
  ASSERT_EQ(plain.result, 0);
  EXPECT_EQ(plain.bytes(), (Bytes{3, 2, 1, 6, 5, 4}));
  for (const char* header :
       {"P6 2 2000000000000 255\n", "P6 99999999999 1 255\n", "P5 2 1 #\n4294967297\n", "P6 2147483648 1 255\n"})
    EXPECT_EQ(loadMemory(pnm(header), IMKPixelFormatRGB).result, 26) << header;
}

// Samples of two bytes (big-endian, scaled from the maximum) come out right in every format,
// from a grey or an RGB file; a file shorter than its samples is refused, never read past.
TEST(ImageLoad, SixteenBitPNMLoadsInEveryFormat) {
  auto pnm = [](const std::string& header, const Bytes& samples) {
    Bytes bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), samples.begin(), samples.end());
    return bytes;
  };
  // 2 x 1: grey 0x1234 and 0xABCD of 65535; RGB (0, 1000, 500) and (1000, 0, 250) of 1000.
  const Bytes grey = pnm("P5 2 1 65535\n", {0x12, 0x34, 0xAB, 0xCD});
  const Bytes rgb = pnm("P6\n2 1\n1000\n", {0, 0, 0x03, 0xE8, 0x01, 0xF4, 0x03, 0xE8, 0, 0, 0, 0xFA});
  struct Case {
    const char* what;
    const Bytes& file;
    uint32_t format;
    Bytes expected;
  } cases[] = {
      {"grey as RGB", grey, IMKPixelFormatRGB, {0x12, 0x12, 0x12, 0xAB, 0xAB, 0xAB}},
      {"grey as BGR", grey, IMKPixelFormatBGR, {0x12, 0x12, 0x12, 0xAB, 0xAB, 0xAB}},
      {"grey as RGBA", grey, IMKPixelFormatRGBA, {0x12, 0x12, 0x12, 255, 0xAB, 0xAB, 0xAB, 255}},
      {"grey as BGRA", grey, IMKPixelFormatBGRA, {0x12, 0x12, 0x12, 255, 0xAB, 0xAB, 0xAB, 255}},
      {"RGB as RGB", rgb, IMKPixelFormatRGB, {0, 255, 128, 255, 0, 64}},
      {"RGB as BGR", rgb, IMKPixelFormatBGR, {128, 255, 0, 64, 0, 255}},
      {"RGB as RGBA", rgb, IMKPixelFormatRGBA, {0, 255, 128, 255, 255, 0, 64, 255}},
      {"RGB as BGRA", rgb, IMKPixelFormatBGRA, {128, 255, 0, 255, 64, 0, 255, 255}},
  };
  for (const Case& c : cases) {
    const Loaded loaded = loadMemory(c.file, c.format);
    ASSERT_EQ(loaded.result, 0) << c.what;
    EXPECT_EQ(loaded.width, 2u) << c.what;
    EXPECT_EQ(loaded.height, 1u) << c.what;
    EXPECT_EQ(loaded.bytes(), c.expected) << c.what;
    TempFile file(c.file);
    Loaded fromFile;
    fromFile.result = IMKFImageLoadFromFile(file.path(), c.format, &fromFile.data, &fromFile.width, &fromFile.height);
    EXPECT_EQ(fromFile.bytes(), c.expected) << c.what << " from a file";
  }
  EXPECT_EQ(loadMemory(pnm("P5 2 2 65535\n", {1, 2, 3, 4, 5, 6, 7}), IMKPixelFormatRGBA).result, 26);
  EXPECT_EQ(loadMemory(pnm("P6 3000 3000 65535\n", Bytes(64, 9)), IMKPixelFormatRGBA).result, 26);
}

TEST(ImageLoad, FromMemoryTakesFormatZeroAsRGBAndRefusesNoBytes) {
  const Bytes png = pngOf(picture(4), 4);
  const Loaded loaded = loadMemory(png, IMKPixelFormatJPEG);
  ASSERT_EQ(loaded.result, 0);
  EXPECT_EQ(loaded.bytes().size(), 18u);
  EXPECT_EQ(loadMemory(Bytes(40, 7), IMKPixelFormatRGB).result, 26);
  Ref<LLKCData> data;
  uint32_t width = 0, height = 0;
  EXPECT_EQ(IMKFImageLoadFromMemory(png.data(), 0, IMKPixelFormatRGB, &data, &width, &height), 26);
  EXPECT_EQ(IMKFImageLoadFromMemory(png.data(), -5, IMKPixelFormatRGB, &data, &width, &height), 26);
  EXPECT_EQ(IMKFImageLoadFromMemory(nullptr, 10, IMKPixelFormatRGB, &data, &width, &height), 26);
}

// JPEG files are decoded by libjpeg straight into the asked layout, with the exact DCT (the fast
// one, kept for motion-JPEG frames, gives other pixels on this picture).
TEST(ImageLoad, JPEGFilesDecodeLikeLibjpeg) {
  const Bytes jpeg = encodeJPEG(makeTestPicture(21, 13), 21, 13, {});
  ASSERT_NE(referenceDecode(jpeg, JCS_EXT_RGB, DCT::exact), referenceDecode(jpeg, JCS_EXT_RGB, DCT::fast));
  for (auto [format, colorSpace] : {std::pair{IMKPixelFormatBGR, JCS_EXT_BGR},
                                    {IMKPixelFormatARGB, JCS_EXT_ARGB},
                                    {IMKPixelFormatRGB, JCS_EXT_RGB}}) {
    TempFile file(jpeg);
    Loaded loaded;
    loaded.result = IMKFImageLoadFromFile(file.path(), format, &loaded.data, &loaded.width, &loaded.height);
    ASSERT_EQ(loaded.result, 0);
    EXPECT_EQ(loaded.width, 21u);
    EXPECT_EQ(loaded.height, 13u);
    EXPECT_EQ(loaded.bytes(), referenceDecode(jpeg, colorSpace, DCT::exact)) << format;
  }
}

// libjpeg gives CMYK streams only as CMYK; the loader turns them into the asked format, each
// colour its (inverted, as stored) channel scaled by K.
TEST(ImageLoad, CMYKJPEGFilesComeOutAsColour) {
  const Bytes jpeg = encodeJPEG(makeTestPicture(9, 5), 9, 5, {Sampling::cmyk});
  const Bytes cmyk = referenceDecode(jpeg, JCS_CMYK, DCT::exact);
  Bytes expected;
  for (size_t i = 0; i < cmyk.size(); i += 4) {
    for (int c : {2, 1, 0}) expected.push_back(static_cast<uint8_t>((cmyk[i + c] * cmyk[i + 3] + 127) / 255));
    expected.push_back(255);
  }
  const Loaded loaded = loadMemory(jpeg, IMKPixelFormatBGRA);
  ASSERT_EQ(loaded.result, 0);
  EXPECT_EQ(loaded.bytes(), expected);
  // The converter is for camera frames and keeps libjpeg's refusal.
  Bytes dst(9 * 5 * 3);
  EXPECT_EQ(
      IMKFImageConvert(9, 5, jpeg.data(), jpeg.size(), IMKPixelFormatJPEG, dst.data(), dst.size(), IMKPixelFormatRGB),
      26);
}

// Corrupt JPEG input is refused: a stream cut short, and a Huffman table claiming more than 256
// codes (a crafted table that overruns decoders which trust the counts).
TEST(ImageLoad, CorruptJPEGIsRefused) {
  const Bytes jpeg = encodeJPEG(makeTestPicture(21, 13), 21, 13, {});
  Bytes oversized = jpeg;
  for (size_t at = 2; at + 4 < oversized.size(); ++at)
    if (oversized[at] == 0xFF && oversized[at + 1] == 0xC4) {
      for (size_t i = 0; i < 16; ++i) oversized[at + 5 + i] = 0xFF;  // the 16 code-length counts
      break;
    }
  for (const Bytes& bad : {Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 2), oversized}) {
    const Loaded loaded = loadMemory(bad, IMKPixelFormatRGB);
    EXPECT_EQ(loaded.result, 26);
    EXPECT_FALSE(loaded.data);
  }
}

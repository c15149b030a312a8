#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKFImageLoad.h"
#include "tests/imagekit/JPEGFixtures.h"
#include "tests/support/CraftedImages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>
#include <filesystem>
#include <png.h>
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

// A PNG written by libpng: rows of samples of that depth (16-bit ones big-endian), a palette of
// (10, 20, 30) transparent and (40, 50, 60) opaque for palette files.
Bytes pngWritten(uint32_t width, uint32_t height, int depth, int colourType, bool interlaced, const Bytes& samples) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, size_t length) {
        auto* bytes = static_cast<Bytes*>(png_get_io_ptr(p));
        bytes->insert(bytes->end(), data, data + length);
      },
      nullptr);
  png_set_IHDR(png, info, width, height, depth, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    png_color colours[2] = {{10, 20, 30}, {40, 50, 60}};
    png_byte transparent[1] = {0};
    png_set_PLTE(png, info, colours, 2);
    png_set_tRNS(png, info, transparent, 1, nullptr);
  }
  png_write_info(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  std::vector<png_bytep> rows(height);
  Bytes copy = samples;
  for (uint32_t y = 0; y < height; ++y) rows[y] = copy.data() + y * rowBytes;
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

class TempFile {
public:
  explicit TempFile(const Bytes& bytes, const std::string& ending = ".png") {
    path_ = (std::filesystem::temp_directory_path() /
             ("imk-load-" + std::to_string(getpid()) + "-" + std::to_string(counter_++) + ending))
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

// Files crafted as an attacker would write them, in formats the system does not read (a Softimage
// PIC cut after its packet header once crashed the loader, a Radiance HDR with one run-length row
// header kept it looping for ever) or PNG files whose image data is empty or cut: each is refused,
// from memory and as a file named bad.jpg, and the outs stay untouched. Sizes are checked from the
// header before anything is decoded: a PNG or JPEG announcing 10 000 x 8 000 pixels is refused as
// too large even when what follows its header is junk.
TEST(ImageLoad, RefusesEverythingButSoundJPEGAndPNGOfAllowedSize) {
  Bytes hugePNG = craftedImage("png-10000x8000.bin");
  ASSERT_GT(hugePNG.size(), 100u);
  hugePNG.resize(60);
  Bytes hugeJPEG = encodeJPEG(makeTestPicture(16, 16), 16, 16, {});
  for (size_t at = 2; at + 9 < hugeJPEG.size(); ++at)
    if (hugeJPEG[at] == 0xFF && hugeJPEG[at + 1] == 0xC0) {
      hugeJPEG[at + 5] = 8000 >> 8, hugeJPEG[at + 6] = 8000 & 0xFF, hugeJPEG[at + 7] = 10000 >> 8,
                  hugeJPEG[at + 8] = 10000 & 0xFF;
      break;
    }
  struct Case {
    const char* what;
    Bytes file;
    int result;
  } cases[] = {
      {"Softimage PIC, cut", craftedImage("softimage-pic-cut-named-bad.jpg.bin"), 26},
      {"Radiance HDR, one run-length row header", craftedImage("radiance-hdr-one-rle-row.bin"), 26},
      {"PNG with empty image data", craftedImage("png-empty-idat.bin"), 26},
      {"PNG cut inside its image data", craftedImage("png-cut-in-idat.bin"), 26},
      {"GIF", craftedImage("gif-head.bin"), 26},
      {"PSD", craftedImage("psd-head.bin"), 26},
      {"BMP", craftedImage("rgb.bmp.bin"), 26},
      {"TGA", craftedImage("rgba.tga.bin"), 26},
      {"PPM", craftedImage("rgb.ppm.bin"), 26},
      {"PNG of 10000 x 8000", craftedImage("png-10000x8000.bin"), 27},
      {"PNG header of 10000 x 8000, then junk", hugePNG, 27},
      {"JPEG header of 10000 x 8000, then a small image", hugeJPEG, 27},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(c.file.empty()) << c.what;
    for (uint32_t format : {IMKPixelFormatBGR, IMKPixelFormatRGBA}) {
      const Loaded loaded = loadMemory(c.file, format);
      EXPECT_EQ(loaded.result, c.result) << c.what;
      EXPECT_FALSE(loaded.data) << c.what;
      TempFile file(c.file, "-bad.jpg");
      Ref<LLKCData> data;
      uint32_t width = 77, height = 88;
      EXPECT_EQ(IMKFImageLoadFromFile(file.path(), format, &data, &width, &height), c.result) << c.what;
      EXPECT_FALSE(data) << c.what;
      EXPECT_EQ(width, 77u) << c.what;
      EXPECT_EQ(height, 88u) << c.what;
    }
  }
}

// PNG files of every kind libpng writes come out as eight-bit colour in the asked layout: a
// palette with a transparent entry, sixteen-bit samples (their high byte) and an interlaced file.
TEST(ImageLoad, PNGOfEveryKindLoads) {
  const Bytes palette = pngWritten(2, 1, 8, PNG_COLOR_TYPE_PALETTE, false, {0, 1});
  const Bytes wide = pngWritten(1, 1, 16, PNG_COLOR_TYPE_RGB, false, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC});
  Bytes rows;
  for (int i = 0; i < 9 * 9; ++i) rows.insert(rows.end(), {uint8_t(i), uint8_t(200 + i % 50)});
  const Bytes interlaced = pngWritten(9, 9, 8, PNG_COLOR_TYPE_GRAY_ALPHA, true, rows);
  struct Case {
    const char* what;
    const Bytes& file;
    uint32_t format;
    size_t at;  // the pixel compared
    Bytes expected;
  } cases[] = {
      {"palette, transparent entry as BGRA", palette, IMKPixelFormatBGRA, 0, {30, 20, 10, 0}},
      {"palette, opaque entry as RGB", palette, IMKPixelFormatRGB, 1, {40, 50, 60}},
      {"16-bit as BGR", wide, IMKPixelFormatBGR, 0, {0x9A, 0x56, 0x12}},
      {"interlaced grey and alpha as ARGB", interlaced, IMKPixelFormatARGB, 80, {230, 80, 80, 80}},
  };
  for (const Case& c : cases) {
    const Loaded loaded = loadMemory(c.file, c.format);
    ASSERT_EQ(loaded.result, 0) << c.what;
    const Bytes bytes = loaded.bytes();
    const size_t size = c.expected.size();
    ASSERT_GE(bytes.size(), (c.at + 1) * size) << c.what;
    EXPECT_EQ(Bytes(bytes.begin() + long(c.at * size), bytes.begin() + long((c.at + 1) * size)), c.expected) << c.what;
  }
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

#pragma once
// Pictures saved as PNG files by libpng (lossless, so what loads is what was written). Link PNG::PNG.
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

// Writes width x height pixels of channels (3: RGB, 4: RGBA), rows packed; false when it cannot.
inline bool writePNGFile(const std::string& path, const std::vector<uint8_t>& pixels, uint32_t width, uint32_t height,
                         uint32_t channels = 3) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  if (pixels.size() < size_t{width} * height * channels) return false;
  return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr) != 0;
}

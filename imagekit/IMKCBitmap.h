#pragma once
// The image kit's bitmap: width, height, a raw pixel format (1 to 5) and the data holding the
// pixels, rows top to bottom, packed. Its data always holds at least width x height pixels.
// A bitmap has no lock; one thread uses it at a time.
#include "framework/core/LLKBObject.h"
#include "framework/core/LLKCData.h"
#include "imagekit/IMKFImageFormat.h"

#include <cstdint>
#include <string>

struct IMKTPoint {
  int32_t x = 0;
  int32_t y = 0;
};

struct IMKTSize {
  uint32_t w = 0;
  uint32_t h = 0;
};

struct IMKTRect {
  IMKTPoint origin;
  IMKTSize size;
};

class IMKCBitmap : public LLKBObject {
public:
  // A new bitmap of that size (zero-filled data); null for a format outside 1 to 5 or no memory.
  [[nodiscard]] static Ref<IMKCBitmap> bitmapWithWidth(uint32_t width, uint32_t height, int32_t format);
  // A bitmap around the given data (shared, not copied); null for a format outside 1 to 5, no
  // data, or data shorter than width x height pixels.
  [[nodiscard]] static Ref<IMKCBitmap> bitmapWithWidth(uint32_t width, uint32_t height, int32_t format,
                                                       Ref<LLKCData> data);
  // A bitmap loaded from an image file in that format; null when it cannot be loaded, and then
  // *result, when given, holds the loader's result (IMKFImageLoadFromFile).
  [[nodiscard]] static Ref<IMKCBitmap> bitmapfromPath(const std::string& path, int32_t format, int* result = nullptr);

  // New bitmaps of the same size and format with a copy of the data; null when out of memory.
  Ref<IMKCBitmap> copy() const;
  Ref<IMKCBitmap> deepCopy() const;

  const Ref<LLKCData>& data() const { return data_; }
  uint8_t* bytes() { return data_->bytes(); }
  const uint8_t* bytes() const { return data_->bytes(); }
  uint64_t length() const { return data_->length(); }
  int32_t format() const { return format_; }
  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }

  // Sets every pixel to the colour given as three bytes red, green, blue (alpha 255).
  void fillWithColor(const uint8_t color[3]);
  // Copies the rect of source into this bitmap with its top-left pixel at point, bytes as they
  // stand. 0: done; 15: the rect lies outside source or the placement outside this bitmap;
  // 8: either bitmap is not RGB or BGR. Nothing changes unless it answers 0.
  int copy(const IMKTRect& rect, const IMKCBitmap& source, const IMKTPoint& point);

private:
  IMKCBitmap(uint32_t width, uint32_t height, int32_t format, Ref<LLKCData> data)
      : data_(std::move(data)), format_(format), width_(width), height_(height) {}

  Ref<LLKCData> data_;
  int32_t format_ = 0;
  uint32_t width_ = 0;
  uint32_t height_ = 0;
};

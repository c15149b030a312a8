#include "imagekit/IMKCBitmap.h"

#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKFImageLoad.h"
#include "imagekit/IMKPixelRows.h"

#include <cstring>

namespace {

bool isBitmapFormat(int32_t format) { return format > 0 && IMKFIsRawFormat(static_cast<uint32_t>(format)); }

bool isRGBOrBGR(int32_t format) { return format == IMKPixelFormatRGB || format == IMKPixelFormatBGR; }

// Whether [start, start + extent) lies inside [0, limit), without wrap-around.
bool spanInside(int32_t start, uint32_t extent, uint32_t limit) {
  return start >= 0 && int64_t{start} + extent <= limit;
}

}  // namespace

Ref<IMKCBitmap> IMKCBitmap::bitmapWithWidth(uint32_t width, uint32_t height, int32_t format) {
  if (!isBitmapFormat(format)) return nullptr;
  const uint64_t length = IMKFImageLength(width, height, static_cast<uint32_t>(format));
  if (length > SIZE_MAX) return nullptr;
  Ref<LLKCData> data = LLKCData::dataWithLength(static_cast<size_t>(length));
  if (!data) return nullptr;
  return adoptRef(new IMKCBitmap(width, height, format, std::move(data)));
}

Ref<IMKCBitmap> IMKCBitmap::bitmapWithWidth(uint32_t width, uint32_t height, int32_t format, Ref<LLKCData> data) {
  if (!isBitmapFormat(format) || !data) return nullptr;
  if (data->length() < IMKFImageLength(width, height, static_cast<uint32_t>(format))) return nullptr;
  return adoptRef(new IMKCBitmap(width, height, format, std::move(data)));
}

Ref<IMKCBitmap> IMKCBitmap::bitmapfromPath(const std::string& path, int32_t format, int* result) {
  int loaded = IMKResultInvalid;
  if (!result) result = &loaded;
  *result = IMKResultInvalid;
  if (!isBitmapFormat(format)) return nullptr;
  Ref<LLKCData> data;
  uint32_t width = 0, height = 0;
  *result = IMKFImageLoadFromFile(path.c_str(), static_cast<uint32_t>(format), &data, &width, &height);
  if (*result != IMKResultDone) return nullptr;
  return adoptRef(new IMKCBitmap(width, height, format, std::move(data)));
}

Ref<IMKCBitmap> IMKCBitmap::copy() const {
  Ref<LLKCData> data = LLKCData::dataWithBytes(data_->bytes(), data_->length());
  if (!data) return nullptr;
  return adoptRef(new IMKCBitmap(width_, height_, format_, std::move(data)));
}

Ref<IMKCBitmap> IMKCBitmap::deepCopy() const { return copy(); }

void IMKCBitmap::fillWithColor(const uint8_t color[3]) {
  if (!color) return;
  const uint32_t pixelSize = IMKFPixelSize(static_cast<uint32_t>(format_));
  // One RGB pixel converted to this format gives the pattern every pixel gets.
  uint8_t pixel[4] = {color[0], color[1], color[2], 255};
  if (const IMKTRowConverter toFormat = IMKFRowConverter(IMKPixelFormatRGB, static_cast<uint32_t>(format_)))
    toFormat(pixel, color, 1);
  const uint64_t count = uint64_t{width_} * height_;
  uint8_t* bytes = data_->bytes();
  for (uint64_t i = 0; i < count; ++i) std::memcpy(bytes + i * pixelSize, pixel, pixelSize);
}

int IMKCBitmap::copy(const IMKTRect& rect, const IMKCBitmap& source, const IMKTPoint& point) {
  if (!spanInside(rect.origin.x, rect.size.w, source.width_) ||
      !spanInside(rect.origin.y, rect.size.h, source.height_) || !spanInside(point.x, rect.size.w, width_) ||
      !spanInside(point.y, rect.size.h, height_))
    return IMKResultOutOfBounds;
  if (!isRGBOrBGR(format_) || !isRGBOrBGR(source.format_)) return IMKResultBadFormat;
  const uint64_t rowBytes = uint64_t{rect.size.w} * 3;
  // Copying within one bitmap to lower rows goes bottom-up, so no row is overwritten before it is read.
  const bool bottomUp = &source == this && point.y > rect.origin.y;
  for (uint64_t i = 0; i < rect.size.h; ++i) {
    const uint64_t r = bottomUp ? rect.size.h - 1 - i : i;
    const uint64_t from = ((rect.origin.y + r) * source.width_ + uint64_t(rect.origin.x)) * 3;
    const uint64_t to = ((point.y + r) * width_ + uint64_t(point.x)) * 3;
    std::memmove(data_->bytes() + to, source.data_->bytes() + from, rowBytes);
  }
  return IMKResultDone;
}

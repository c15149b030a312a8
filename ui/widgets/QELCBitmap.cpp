#include "ui/widgets/QELCBitmap.h"

#include <cmath>
#include <limits>

#include "ui/gl/OGLF2D.h"

bool QELCBitmap::lengthForSize(OGLTSize size, uint64_t& length) {
  if (!std::isfinite(size.w) || !std::isfinite(size.h) || size.w < 0 || size.h < 0) return false;
  // Each side must fit a texture's int, and the pixel count an unsigned 32-bit number.
  constexpr float kSide = static_cast<float>(std::numeric_limits<int>::max() / 2);
  if (size.w >= kSide || size.h >= kSide) return false;
  uint64_t pixels = static_cast<uint64_t>(std::trunc(size.w)) * static_cast<uint64_t>(std::trunc(size.h));
  if (pixels > std::numeric_limits<uint32_t>::max()) return false;
  length = pixels * 4;
  return true;
}

Ref<QELCBitmap> QELCBitmap::bitmapWithSize(OGLTSize size) {
  uint64_t length = 0;
  if (!lengthForSize(size, length)) return nullptr;
  Ref<QELCBitmap> bitmap = adoptRef(new QELCBitmap(size, length));
  bitmap->own_.reset(new uint8_t[length > 0 ? length : 1]());
  bitmap->bytes_ = bitmap->own_.get();
  return bitmap;
}

Ref<QELCBitmap> QELCBitmap::bitmapWithSize(OGLTSize size, Ref<LLKCData> data) {
  uint64_t length = 0;
  if (!data || !lengthForSize(size, length) || data->length() < length) return nullptr;
  Ref<QELCBitmap> bitmap = adoptRef(new QELCBitmap(size, length));
  bitmap->bytes_ = data->bytes();
  bitmap->data_ = std::move(data);
  return bitmap;
}

QELCBitmap::~QELCBitmap() { lose(); }

bool QELCBitmap::bind(OGLC2DContext* context) {
  if (context_) return context != context_;
  if (!context) return false;
  int id =
      OGLF2DTextureMake(context, static_cast<int>(std::trunc(size_.w)), static_cast<int>(std::trunc(size_.h)), bytes_);
  if (id < 0) return false;
  texture_ = id;
  context_ = context;
  return true;
}

void QELCBitmap::lose() {
  if (!context_) return;
  OGLF2DTextureFree(context_, texture_);
  context_ = nullptr;
  texture_ = -1;
}

bool QELCBitmap::sync() {
  if (!context_) return false;
  OGLF2DTextureSync(context_, texture_, bytes_);
  return true;
}

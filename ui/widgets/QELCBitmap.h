#pragma once
// An RGBA pixel buffer that can be shown through a 2D context: it owns its bytes (or borrows
// them from a data object), makes a texture of them in a context on demand, uploads them again
// when asked, and frees the texture with itself.
//
// bind, sync, lose and the release touch the context: the context's (window's) thread only.
// Writers of the bytes on other threads finish before sync is called.
#include <cstdint>
#include <memory>

#include "framework/core/LLKCData.h"
#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLTGeometry.h"

class QELCBitmap : public LLKBObject {
public:
  // Zero-filled bytes of its own. Null for a negative or non-finite size, a byte count that
  // overflows, or when the bytes cannot be had.
  [[nodiscard]] static Ref<QELCBitmap> bitmapWithSize(OGLTSize size);
  // Over the data's bytes (kept, not copied); null as above or when the data is shorter.
  [[nodiscard]] static Ref<QELCBitmap> bitmapWithSize(OGLTSize size, Ref<LLKCData> data);
  ~QELCBitmap() override;

  OGLTSize size() const { return size_; }
  // Pixels as red, green, blue, alpha bytes; rows top to bottom, one after another.
  uint8_t* bytes() { return bytes_; }
  const uint8_t* bytes() const { return bytes_; }
  // (whole width × whole height) × 4.
  uint64_t length() const { return length_; }
  // The texture id in the bound context, -1 when unbound.
  int texture() const { return texture_; }

  // Unbound: makes a texture in the context (true when made). Bound: makes nothing and answers
  // whether the context differs from the bound one.
  bool bind(OGLC2DContext* context);
  // Frees the texture and forgets the context.
  void lose();
  // Uploads the bytes into the texture; false when unbound.
  bool sync();

  // The byte count of a size, false when it is not a valid size or overflows.
  static bool lengthForSize(OGLTSize size, uint64_t& length);

private:
  QELCBitmap(OGLTSize size, uint64_t length) : size_(size), length_(length) {}

  OGLTSize size_;
  uint8_t* bytes_ = nullptr;
  uint64_t length_;
  int texture_ = -1;
  OGLC2DContext* context_ = nullptr;
  Ref<LLKCData> data_;
  std::unique_ptr<uint8_t[]> own_;
};

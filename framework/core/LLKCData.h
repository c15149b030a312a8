#pragma once
// A block of bytes that travels as an object (pixels, encoded images, file contents).
// It either owns its bytes or borrows a block that its maker keeps alive.
#include "framework/core/LLKBObject.h"

#include <cstddef>
#include <cstdint>

class LLKCData : public LLKBObject {
public:
  // length zero-filled bytes; null when they cannot be had.
  [[nodiscard]] static Ref<LLKCData> dataWithLength(size_t length);
  // A copy of the bytes.
  [[nodiscard]] static Ref<LLKCData> dataWithBytes(const void* bytes, size_t length);
  // Wraps the block without copying. With freeWhenDone the data owns it (a block from malloc)
  // and frees it when released; when the data cannot be made the block is left to the caller.
  [[nodiscard]] static Ref<LLKCData> dataWithBytesNoCopy(void* bytes, size_t length, bool freeWhenDone = true);

  uint8_t* bytes() { return bytes_; }
  const uint8_t* bytes() const { return bytes_; }
  size_t length() const { return length_; }

  ~LLKCData() override;

protected:
  LLKCData(uint8_t* bytes, size_t length, bool owned) : bytes_(bytes), length_(length), owned_(owned) {}

private:
  uint8_t* bytes_;
  size_t length_;
  bool owned_;
};

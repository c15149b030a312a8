#pragma once
// A random 128-bit identity (version 4 layout), written as 8-4-4-4-12 lower-case hex digits.
#include "framework/core/LLKBObject.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class LLKCGuid : public LLKBObject {
public:
  // A fresh guid.
  [[nodiscard]] static Ref<LLKCGuid> guid();
  // The guid written in text, or null when the text is not one.
  [[nodiscard]] static Ref<LLKCGuid> guidWithString(std::string_view text);

  const std::array<uint8_t, 16>& bytes() const { return bytes_; }
  std::string string() const;
  bool isEqual(const LLKCGuid& other) const { return bytes_ == other.bytes_; }
  size_t hash() const;

private:
  explicit LLKCGuid(const std::array<uint8_t, 16>& bytes) : bytes_(bytes) {}
  std::array<uint8_t, 16> bytes_;
};

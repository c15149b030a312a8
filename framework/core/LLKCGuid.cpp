#include "framework/core/LLKCGuid.h"

#include "framework/core/LLKFRandom.h"

#include <cstring>

namespace {

constexpr char kHex[] = "0123456789abcdef";

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isDashAt(size_t position) { return position == 8 || position == 13 || position == 18 || position == 23; }

}  // namespace

Ref<LLKCGuid> LLKCGuid::guid() {
  std::array<uint8_t, 16> bytes;
  uint64_t halves[2] = {LLKFRandomFreshBits(), LLKFRandomFreshBits()};
  std::memcpy(bytes.data(), halves, sizeof halves);
  bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);  // variant 1
  return adoptRef(new LLKCGuid(bytes));
}

Ref<LLKCGuid> LLKCGuid::guidWithString(std::string_view text) {
  if (text.size() != 36) return nullptr;
  std::array<uint8_t, 16> bytes{};
  size_t nibble = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (isDashAt(i)) {
      if (text[i] != '-') return nullptr;
      continue;
    }
    int value = hexValue(text[i]);
    if (value < 0) return nullptr;
    bytes[nibble / 2] = static_cast<uint8_t>(bytes[nibble / 2] | (value << (nibble % 2 ? 0 : 4)));
    ++nibble;
  }
  return adoptRef(new LLKCGuid(bytes));
}

std::string LLKCGuid::string() const {
  std::string text;
  text.reserve(36);
  for (size_t i = 0; i < bytes_.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += kHex[bytes_[i] >> 4];
    text += kHex[bytes_[i] & 0x0F];
  }
  return text;
}

size_t LLKCGuid::hash() const {
  uint64_t halves[2];
  std::memcpy(halves, bytes_.data(), sizeof halves);
  return static_cast<size_t>(halves[0] ^ (halves[1] * 0x9E3779B97F4A7C15ull));
}

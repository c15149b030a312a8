#include "framework/core/LLKBDecoder.h"

#include <cstring>

namespace {

// Reads the archive's parts with bounds checks; any read past the end makes it fail.
class Cursor {
public:
  Cursor(const uint8_t* bytes, size_t length) : bytes_(bytes), length_(length) {}

  bool take(size_t count, const uint8_t*& at) {
    if (count > length_ - position_) return false;
    at = bytes_ + position_;
    position_ += count;
    return true;
  }
  bool number(int width, uint64_t& value) {
    const uint8_t* at = nullptr;
    if (!take(static_cast<size_t>(width), at)) return false;
    value = 0;
    for (int i = 0; i < width; ++i) value |= static_cast<uint64_t>(at[i]) << (8 * i);
    return true;
  }
  bool atEnd() const { return position_ == length_; }

private:
  const uint8_t* bytes_;
  size_t length_;
  size_t position_ = 0;
};

}  // namespace

Ref<LLKBDecoder> LLKBDecoder::decoderWithStream(const void* bytes, size_t length) {
  if (!bytes && length) return nullptr;
  Ref<LLKBDecoder> decoder = adoptRef(new LLKBDecoder());
  try {
    const auto* begin = static_cast<const uint8_t*>(bytes);
    decoder->stream_.assign(begin, begin + length);
  } catch (const std::exception&) {
    return nullptr;
  }
  return decoder;
}

Ref<LLKBDecoder> LLKBDecoder::decoderWithArchive(const void* bytes, size_t length) {
  if (!bytes) return nullptr;
  Cursor cursor(static_cast<const uint8_t*>(bytes), length);
  const uint8_t* at = nullptr;
  uint64_t streamLength = 0;
  if (!cursor.take(4, at) || std::memcmp(at, "VKC1", 4) != 0) return nullptr;
  if (!cursor.number(4, streamLength) || !cursor.take(streamLength, at)) return nullptr;
  Ref<LLKBDecoder> decoder = decoderWithStream(at, streamLength);
  if (!decoder) return nullptr;
  uint64_t keys = 0;
  if (!cursor.number(4, keys)) return nullptr;
  try {
    for (uint64_t k = 0; k < keys; ++k) {
      uint64_t keyLength = 0, valueLength = 0;
      const uint8_t* key = nullptr;
      const uint8_t* value = nullptr;
      if (!cursor.number(2, keyLength) || keyLength == 0 || !cursor.take(keyLength, key)) return nullptr;
      if (!cursor.number(4, valueLength) || !cursor.take(valueLength, value)) return nullptr;
      std::string name(reinterpret_cast<const char*>(key), keyLength);
      if (!decoder->keyed_.emplace(std::move(name), std::vector<uint8_t>(value, value + valueLength)).second)
        return nullptr;
    }
  } catch (const std::exception&) {
    return nullptr;
  }
  return cursor.atEnd() ? decoder : nullptr;
}

size_t LLKBDecoder::decodeBuffer(void* bytes, size_t length) {
  if (length > remaining() || (!bytes && length)) return 0;
  if (length) std::memcpy(bytes, stream_.data() + position_, length);
  position_ += length;
  return length;
}

bool LLKBDecoder::decodeByte(uint8_t& value) { return decodeBuffer(&value, 1) == 1; }

bool LLKBDecoder::decodeUint16(uint16_t& value) {
  uint8_t bytes[2];
  if (decodeBuffer(bytes, sizeof bytes) != sizeof bytes) return false;
  value = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
  return true;
}

bool LLKBDecoder::decodeUint32(uint32_t& value) {
  uint8_t bytes[4];
  if (decodeBuffer(bytes, sizeof bytes) != sizeof bytes) return false;
  value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(bytes[i]) << (8 * i);
  return true;
}

const std::vector<uint8_t>* LLKBDecoder::find(std::string_view key) const {
  auto found = keyed_.find(key);
  return found == keyed_.end() ? nullptr : &found->second;
}

size_t LLKBDecoder::decodeBuffer(void* bytes, size_t length, std::string_view key) const {
  const std::vector<uint8_t>* value = find(key);
  if (!value || value->size() != length || (!bytes && length)) return 0;
  if (length) std::memcpy(bytes, value->data(), length);
  return length;
}

bool LLKBDecoder::decodeByte(uint8_t& value, std::string_view key) const { return decodeBuffer(&value, 1, key) == 1; }

#pragma once
// Reads back what LLKBEncoder wrote: the stream in order, keyed values by key. Every read
// checks the bytes that remain; a short or malformed input fails cleanly and reads nothing.
#include "framework/core/LLKBObject.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class LLKBDecoder : public LLKBObject {
public:
  // An archive from LLKBEncoder::archive; null when it is malformed (wrong magic, a length past
  // the end, a repeated key or bytes left over).
  [[nodiscard]] static Ref<LLKBDecoder> decoderWithArchive(const void* bytes, size_t length);
  // Plain bytes read as a stream; there are no keyed values.
  [[nodiscard]] static Ref<LLKBDecoder> decoderWithStream(const void* bytes, size_t length);

  // Each answers false, reading nothing, when too few bytes remain.
  bool decodeByte(uint8_t& value);
  bool decodeUint16(uint16_t& value);
  bool decodeUint32(uint32_t& value);
  // The number of bytes read: length, or 0 when fewer remain.
  size_t decodeBuffer(void* bytes, size_t length);
  size_t remaining() const { return stream_.size() - position_; }

  // The value under the key: false / 0 when the key is missing or its value is not exactly
  // that long.
  bool decodeByte(uint8_t& value, std::string_view key) const;
  size_t decodeBuffer(void* bytes, size_t length, std::string_view key) const;
  bool containsKey(std::string_view key) const { return find(key) != nullptr; }

protected:
  LLKBDecoder() = default;

private:
  const std::vector<uint8_t>* find(std::string_view key) const;

  std::vector<uint8_t> stream_;
  size_t position_ = 0;
  std::map<std::string, std::vector<uint8_t>, std::less<>> keyed_;
};

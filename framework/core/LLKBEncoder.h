#pragma once
// Writes values into memory: a stream of bytes read back in the same order, and values under
// keys read back by key. Numbers are little-endian.
//
// archive() packs both into one block that LLKBDecoder::decoderWithArchive reads:
//   "VKC1", uint32 stream length, the stream, uint32 key count, then per key
//   uint16 key length, the key, uint32 value length, the value.
// stream() is the stream alone, for file formats of their own.
#include "framework/core/LLKBObject.h"
#include "framework/core/LLKCData.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class LLKBEncoder : public LLKBObject {
public:
  [[nodiscard]] static Ref<LLKBEncoder> encoder();

  // Each answers false when memory runs out (or a length does not fit the archive).
  bool encodeByte(uint8_t value);
  bool encodeUint16(uint16_t value);
  bool encodeUint32(uint32_t value);
  bool encodeBuffer(const void* bytes, size_t length);

  // Keyed values; storing a key again replaces its value. False for an empty key or one longer
  // than 65535 bytes.
  bool encodeByte(uint8_t value, std::string_view key);
  bool encodeBuffer(const void* bytes, size_t length, std::string_view key);

  const std::vector<uint8_t>& stream() const { return stream_; }
  // The stream and the keyed values in one block; false when they do not fit.
  bool archive(std::vector<uint8_t>& bytes) const;
  Ref<LLKCData> archiveData() const;

protected:
  LLKBEncoder() = default;

private:
  std::vector<uint8_t> stream_;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> keyed_;
};

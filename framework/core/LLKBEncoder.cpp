#include "framework/core/LLKBEncoder.h"

#include <limits>

namespace {

constexpr uint8_t kMagic[4] = {'V', 'K', 'C', '1'};

void putLittleEndian(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

bool fitsUint32(size_t length) { return length <= std::numeric_limits<uint32_t>::max(); }

}  // namespace

Ref<LLKBEncoder> LLKBEncoder::encoder() { return adoptRef(new LLKBEncoder()); }

bool LLKBEncoder::encodeBuffer(const void* bytes, size_t length) {
  if (!bytes && length) return false;
  try {
    const auto* begin = static_cast<const uint8_t*>(bytes);
    stream_.insert(stream_.end(), begin, begin + length);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool LLKBEncoder::encodeByte(uint8_t value) { return encodeBuffer(&value, 1); }

bool LLKBEncoder::encodeUint16(uint16_t value) {
  uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
  return encodeBuffer(bytes, sizeof bytes);
}

bool LLKBEncoder::encodeUint32(uint32_t value) {
  uint8_t bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
  return encodeBuffer(bytes, sizeof bytes);
}

bool LLKBEncoder::encodeBuffer(const void* bytes, size_t length, std::string_view key) {
  if (key.empty() || key.size() > std::numeric_limits<uint16_t>::max() || (!bytes && length) || !fitsUint32(length))
    return false;
  try {
    const auto* begin = static_cast<const uint8_t*>(bytes);
    std::vector<uint8_t> value(begin, begin + length);
    for (auto& [name, existing] : keyed_)
      if (name == key) {
        existing = std::move(value);
        return true;
      }
    keyed_.emplace_back(std::string(key), std::move(value));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool LLKBEncoder::encodeByte(uint8_t value, std::string_view key) { return encodeBuffer(&value, 1, key); }

bool LLKBEncoder::archive(std::vector<uint8_t>& bytes) const {
  if (!fitsUint32(stream_.size()) || !fitsUint32(keyed_.size())) return false;
  try {
    bytes.assign(std::begin(kMagic), std::end(kMagic));
    putLittleEndian(bytes, stream_.size(), 4);
    bytes.insert(bytes.end(), stream_.begin(), stream_.end());
    putLittleEndian(bytes, keyed_.size(), 4);
    for (const auto& [key, value] : keyed_) {
      putLittleEndian(bytes, key.size(), 2);
      bytes.insert(bytes.end(), key.begin(), key.end());
      putLittleEndian(bytes, value.size(), 4);
      bytes.insert(bytes.end(), value.begin(), value.end());
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

Ref<LLKCData> LLKBEncoder::archiveData() const {
  std::vector<uint8_t> bytes;
  if (!archive(bytes)) return nullptr;
  return LLKCData::dataWithBytes(bytes.data(), bytes.size());
}

#include "framework/substrate/MRKCData.h"

#include <limits>

#include "framework/substrate/MRKTermText.h"

size_t MRKCData::elementSize(uint32_t format) {
  switch (format) {
    case kMRKDataSint16:
      return 2;
    case kMRKDataReal32:
      return 4;
    default:
      return 1;
  }
}

Ref<MRKCData> MRKCData::dataWithFormat(uint32_t format, const void* buffer, size_t count) {
  size_t size = elementSize(format);
  if (count > std::numeric_limits<size_t>::max() / size || (!buffer && count)) return nullptr;
  const auto* begin = static_cast<const uint8_t*>(buffer);
  return adoptRef(new MRKCData(format, std::vector<uint8_t>(begin, begin + count * size)));
}

Ref<MRKCData> MRKCData::dataWithBytes(uint32_t format, std::vector<uint8_t> bytes) {
  if (bytes.size() % elementSize(format) != 0) return nullptr;
  return adoptRef(new MRKCData(format, std::move(bytes)));
}

int MRKCData::compareSame(const MRKBTerm& other) const {
  const auto& theirs = static_cast<const MRKCData&>(other);
  if (format_ != theirs.format_) return format_ < theirs.format_ ? -1 : 1;
  return bytes_ < theirs.bytes_ ? -1 : theirs.bytes_ < bytes_ ? 1 : 0;
}

uint64_t MRKCData::hashCode() const {
  return MRKFHashBytes(MRKFHashMix(kMRKTermData, format_), bytes_.data(), bytes_.size());
}

void MRKCData::print(std::string& out) const {
  out += "#d";
  out += std::to_string(format_);
  out += '"';
  MRKFAppendHex(out, bytes_.data(), bytes_.size());
  out += '"';
}

Ref<MRKBTerm> MRKCData::copyTerm() const { return adoptRef(new MRKCData(format_, bytes_)); }

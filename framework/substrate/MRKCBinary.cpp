#include "framework/substrate/MRKCBinary.h"

#include "framework/substrate/MRKTermText.h"

Ref<MRKCBinary> MRKCBinary::binaryWithBytes(const void* bytes, size_t length) {
  if (!bytes && length) return nullptr;
  const auto* begin = static_cast<const uint8_t*>(bytes);
  return binaryWithValue(std::vector<uint8_t>(begin, begin + length));
}

Ref<MRKCBinary> MRKCBinary::binaryWithValue(std::vector<uint8_t> value) {
  return adoptRef(new MRKCBinary(std::move(value)));
}

Ref<MRKCBinary> MRKCBinary::binaryWithValue(const LLKCData* data) {
  return data ? binaryWithBytes(data->bytes(), data->length()) : nullptr;
}

int MRKCBinary::compareSame(const MRKBTerm& other) const {
  const auto& theirs = static_cast<const MRKCBinary&>(other).value_;
  return value_ < theirs ? -1 : theirs < value_ ? 1 : 0;
}

uint64_t MRKCBinary::hashCode() const { return MRKFHashBytes(kMRKTermBinary, value_.data(), value_.size()); }

void MRKCBinary::print(std::string& out) const {
  out += "#x\"";
  MRKFAppendHex(out, value_.data(), value_.size());
  out += '"';
}

Ref<MRKBTerm> MRKCBinary::copyTerm() const { return binaryWithValue(value_); }

#include "framework/substrate/MRKCString.h"

#include "framework/substrate/MRKTermText.h"

namespace {
int sign(int order) { return order < 0 ? -1 : order > 0 ? 1 : 0; }
}  // namespace

Ref<MRKCString> MRKCString::stringWithValue(std::string_view value) { return Ref<MRKCString>(new MRKCString(std::string(value))); }

int MRKCString::compareToChars(std::string_view chars) const { return sign(std::string_view(value_).compare(chars)); }

int MRKCString::compareSame(const MRKBTerm& other) const {
  return sign(value_.compare(static_cast<const MRKCString&>(other).value_));
}

uint64_t MRKCString::hashCode() const { return MRKFHashBytes(kMRKTermString, value_.data(), value_.size()); }

void MRKCString::print(std::string& out) const { MRKFAppendQuoted(out, value_, '"'); }

Ref<MRKBTerm> MRKCString::copyTerm() const { return stringWithValue(value_); }

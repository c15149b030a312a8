#include "framework/substrate/MRKCSymbol.h"

#include "framework/substrate/MRKTermText.h"

namespace {
int sign(int order) { return order < 0 ? -1 : order > 0 ? 1 : 0; }
}  // namespace

Ref<MRKCSymbol> MRKCSymbol::symbolWithValue(std::string_view value) { return Ref<MRKCSymbol>(new MRKCSymbol(std::string(value))); }

int MRKCSymbol::compareToChars(std::string_view chars) const { return sign(std::string_view(value_).compare(chars)); }

int MRKCSymbol::compareSame(const MRKBTerm& other) const {
  return sign(value_.compare(static_cast<const MRKCSymbol&>(other).value_));
}

uint64_t MRKCSymbol::hashCode() const { return MRKFHashBytes(kMRKTermSymbol, value_.data(), value_.size()); }

void MRKCSymbol::print(std::string& out) const { MRKFAppendSymbol(out, value_); }

Ref<MRKBTerm> MRKCSymbol::copyTerm() const { return symbolWithValue(value_); }

#include "framework/substrate/MRKBTextTerm.h"

namespace {
int sign(int order) { return order < 0 ? -1 : order > 0 ? 1 : 0; }
}  // namespace

int MRKBTextTerm::compareToChars(std::string_view chars) const { return sign(std::string_view(value_).compare(chars)); }

int MRKBTextTerm::compareSame(const MRKBTerm& other) const {
  return sign(value_.compare(static_cast<const MRKBTextTerm&>(other).value_));
}

uint64_t MRKBTextTerm::hashCode() const { return MRKFHashBytes(ttid(), value_.data(), value_.size()); }

#include "framework/substrate/MRKCString.h"

#include "framework/substrate/MRKTermText.h"

Ref<MRKCString> MRKCString::stringWithValue(std::string_view value) {
  return adoptRef(new MRKCString(std::string(value)));
}

void MRKCString::print(std::string& out) const { MRKFAppendQuoted(out, value(), '"'); }

Ref<MRKBTerm> MRKCString::copyTerm() const { return stringWithValue(value()); }

#include "framework/substrate/MRKCSymbol.h"

#include "framework/substrate/MRKTermText.h"

Ref<MRKCSymbol> MRKCSymbol::symbolWithValue(std::string_view value) {
  return adoptRef(new MRKCSymbol(std::string(value)));
}

void MRKCSymbol::print(std::string& out) const { MRKFAppendSymbol(out, value()); }

Ref<MRKBTerm> MRKCSymbol::copyTerm() const { return symbolWithValue(value()); }

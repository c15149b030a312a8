#pragma once
// A symbol: a name. Symbols compare by value; the substrate's symbol table (MRKCSymbols) hands
// out one shared object per name.
#include "framework/substrate/MRKBTextTerm.h"

class MRKCSymbol : public MRKBTextTerm {
public:
  [[nodiscard]] static Ref<MRKCSymbol> symbolWithValue(std::string_view value);

  uint32_t ttid() const override { return kMRKTermSymbol; }
  void print(std::string& out) const override;
  Ref<MRKBTerm> copyTerm() const override;

private:
  using MRKBTextTerm::MRKBTextTerm;
};

#pragma once
// The substrate's symbol table: one shared symbol object per name.
#include <mutex>
#include <unordered_map>

#include "framework/substrate/MRKCSymbol.h"

class MRKCSymbols : public LLKBObject {
public:
  [[nodiscard]] static Ref<MRKCSymbols> symbols() { return adoptRef(new MRKCSymbols()); }

  // The interned symbol of that value (the given one when it is the first of its name).
  Ref<MRKCSymbol> store(MRKCSymbol* symbol);
  Ref<MRKCSymbol> store(std::string_view value);
  size_t count() const;

private:
  MRKCSymbols() = default;
  mutable std::mutex mutex_;
  std::unordered_map<std::string, Ref<MRKCSymbol>> symbols_;
};

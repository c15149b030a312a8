#include "framework/substrate/MRKCSymbols.h"

Ref<MRKCSymbol> MRKCSymbols::store(MRKCSymbol* symbol) {
  if (!symbol) return nullptr;
  std::lock_guard lock(mutex_);
  auto [entry, added] = symbols_.try_emplace(symbol->value(), symbol);
  return entry->second;
}

Ref<MRKCSymbol> MRKCSymbols::store(std::string_view value) {
  {
    std::lock_guard lock(mutex_);
    auto found = symbols_.find(std::string(value));
    if (found != symbols_.end()) return found->second;
  }
  return store(MRKCSymbol::symbolWithValue(value).get());
}

size_t MRKCSymbols::count() const {
  std::lock_guard lock(mutex_);
  return symbols_.size();
}

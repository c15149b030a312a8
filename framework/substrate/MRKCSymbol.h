#pragma once
// A symbol: a name. Symbols compare by value; the substrate's symbol table (MRKCSymbols) hands
// out one shared object per name.
#include "framework/substrate/MRKBTerm.h"

class MRKCSymbol : public MRKBTerm {
public:
  static Ref<MRKCSymbol> symbolWithValue(std::string_view value);

  uint32_t ttid() const override { return kMRKTermSymbol; }
  const std::string& value() const { return value_; }

  int compareToChars(std::string_view chars) const override;
  uint64_t hashCode() const override;
  void print(std::string& out) const override;
  Ref<MRKBTerm> copyTerm() const override;

protected:
  int compareSame(const MRKBTerm& other) const override;

private:
  explicit MRKCSymbol(std::string value) : value_(std::move(value)) {}
  std::string value_;
};

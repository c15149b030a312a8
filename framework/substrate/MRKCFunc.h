#pragma once
// A func: a symbol label applied to a list of terms, written label(t1, t2).
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCSymbol.h"

class MRKCFunc : public MRKBTerm {
public:
  // Null when the label is null; a null terms list gives an empty one.
  [[nodiscard]] static Ref<MRKCFunc> funcWithLabel(MRKCSymbol* label, MRKCList* terms);
  [[nodiscard]] static Ref<MRKCFunc> funcWithLabel(std::string_view label, MRKCList* terms);

  uint32_t ttid() const override { return kMRKTermFunc; }
  MRKCSymbol* label() const { return label_.get(); }
  MRKCList* terms() const { return terms_.get(); }

  uint64_t hashCode() const override;
  void print(std::string& out) const override;
  Ref<MRKBTerm> copyTerm() const override;

protected:
  MRKCFunc(Ref<MRKCSymbol> label, Ref<MRKCList> terms) : label_(std::move(label)), terms_(std::move(terms)) {}
  int compareSame(const MRKBTerm& other) const override;
  void printBody(std::string& out) const;

private:
  Ref<MRKCSymbol> label_;
  Ref<MRKCList> terms_;
};

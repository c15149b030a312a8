#pragma once
// A predicate: the func a query asks about, with flags. Written ?label(t1, t2), or
// ?<flags>label(t1, t2) when flags are set.
#include "framework/substrate/MRKCFunc.h"

// Marks an event a processor raises for itself.
constexpr uint32_t kMRKPredicateSelfEvent = 0x20;
// The query goes back to its asker directly, not through the substrate.
constexpr uint32_t kMRKPredicateRecurse = 0x40;

class MRKCPredicate : public MRKCFunc {
public:
  [[nodiscard]] static Ref<MRKCPredicate> predicateWithLabel(MRKCSymbol* label, MRKCList* terms, uint32_t flags = 0);
  [[nodiscard]] static Ref<MRKCPredicate> predicateWithLabel(std::string_view label, MRKCList* terms,
                                                             uint32_t flags = 0);

  uint32_t ttid() const override { return kMRKTermPredicate; }
  uint32_t flags() const { return flags_; }
  bool isRecurse() const { return (flags_ & kMRKPredicateRecurse) != 0; }

  uint64_t hashCode() const override;
  void print(std::string& out) const override;
  Ref<MRKBTerm> copyTerm() const override;

protected:
  int compareSame(const MRKBTerm& other) const override;

private:
  MRKCPredicate(Ref<MRKCSymbol> label, Ref<MRKCList> terms, uint32_t flags)
      : MRKCFunc(std::move(label), std::move(terms)), flags_(flags) {}
  uint32_t flags_;
};

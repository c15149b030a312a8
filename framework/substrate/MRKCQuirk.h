#pragma once
// A quirk: a head term joined to a tail term, written head^tail. The join is right-leaning, so
// a^b^c is a^(b^c); a quirk as the head of another is written in parentheses, (a^b)^c.
#include "framework/substrate/MRKBTerm.h"

class MRKCQuirk : public MRKBTerm {
public:
  // Null when either part is null.
  [[nodiscard]] static Ref<MRKCQuirk> quirkWithHead(MRKBTerm* head, MRKBTerm* tail);

  uint32_t ttid() const override { return kMRKTermQuirk; }
  MRKBTerm* head() const { return head_.get(); }
  MRKBTerm* tail() const { return tail_.get(); }

  uint64_t hashCode() const override;
  void print(std::string& out) const override;
  // Shares the parts, as a list copy shares its members.
  Ref<MRKBTerm> copyTerm() const override;

protected:
  int compareSame(const MRKBTerm& other) const override;

private:
  MRKCQuirk(Ref<MRKBTerm> head, Ref<MRKBTerm> tail) : head_(std::move(head)), tail_(std::move(tail)) {}
  Ref<MRKBTerm> head_;
  Ref<MRKBTerm> tail_;
};

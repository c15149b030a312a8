#include "framework/substrate/MRKCQuirk.h"

Ref<MRKCQuirk> MRKCQuirk::quirkWithHead(MRKBTerm* head, MRKBTerm* tail) {
  if (!head || !tail) return nullptr;
  return adoptRef(new MRKCQuirk(Ref<MRKBTerm>(head), Ref<MRKBTerm>(tail)));
}

int MRKCQuirk::compareSame(const MRKBTerm& other) const {
  const auto& theirs = static_cast<const MRKCQuirk&>(other);
  if (int order = head_->compareTo(theirs.head_.get())) return order;
  return tail_->compareTo(theirs.tail_.get());
}

uint64_t MRKCQuirk::hashCode() const { return MRKFHashMix(MRKFHashMix(ttid(), head_->hashCode()), tail_->hashCode()); }

void MRKCQuirk::print(std::string& out) const {
  // The reader joins to the right, so only a quirk standing as a head needs grouping.
  bool grouped = head_->ttid() == kMRKTermQuirk;
  if (grouped) out += '(';
  head_->print(out);
  if (grouped) out += ')';
  out += '^';
  tail_->print(out);
}

Ref<MRKBTerm> MRKCQuirk::copyTerm() const { return adoptRef(new MRKCQuirk(head_, tail_)); }

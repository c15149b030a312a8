#include "app/ctm/VSKTSeenTerms.h"

#include <algorithm>

bool VSKTSeenTerms::contains(const MRKBTerm* term) const {
  if (!term) return false;
  const uint64_t hash = term->hashCode();
  return std::any_of(terms_.begin(), terms_.end(),
                     [&](const Kept& kept) { return kept.hash == hash && kept.term->compareTo(term) == 0; });
}

bool VSKTSeenTerms::insert(MRKBTerm* term) {
  if (!term || contains(term)) return false;
  if (terms_.size() >= capacity_) terms_.pop_front();
  terms_.push_back({term->hashCode(), Ref<MRKBTerm>(term)});
  return true;
}

#include "framework/substrate/MRKCList.h"

#include <algorithm>

Ref<MRKCList> MRKCList::list() { return adoptRef(new MRKCList()); }

Ref<MRKCList> MRKCList::listWithCapacity(size_t capacity) {
  Ref<MRKCList> made = list();
  made->terms_.reserve(std::min<size_t>(capacity, 1 << 16));
  return made;
}

Ref<MRKCList> MRKCList::listWithTerms(std::initializer_list<MRKBTerm*> terms) {
  Ref<MRKCList> made = listWithCapacity(terms.size());
  for (MRKBTerm* term : terms) {
    if (!term) break;
    made->terms_.emplace_back(term);
  }
  return made;
}

Ref<MRKCList> MRKCList::listWithVector(std::vector<Ref<MRKBTerm>> terms) {
  Ref<MRKCList> made = list();
  made->terms_ = std::move(terms);
  made->compact();
  return made;
}

Ref<MRKCList> MRKCList::rest() const {
  Ref<MRKCList> made = list();
  if (terms_.size() > 1) made->terms_.assign(terms_.begin() + 1, terms_.end());
  return made;
}

bool MRKCList::store(MRKBTerm* term, size_t index) {
  if (index < terms_.size()) {
    terms_[index] = Ref<MRKBTerm>(term);
    return true;
  }
  if (index == terms_.size()) {
    terms_.emplace_back(term);
    return true;
  }
  return false;
}

void MRKCList::compact() {
  terms_.erase(std::remove(terms_.begin(), terms_.end(), Ref<MRKBTerm>()), terms_.end());
  terms_.shrink_to_fit();
}

int MRKCList::compareSame(const MRKBTerm& other) const {
  const auto& theirs = static_cast<const MRKCList&>(other).terms_;
  size_t common = std::min(terms_.size(), theirs.size());
  for (size_t i = 0; i < common; ++i)
    if (int order = MRKFCompareTerms(terms_[i].get(), theirs[i].get())) return order;
  return terms_.size() < theirs.size() ? -1 : terms_.size() > theirs.size() ? 1 : 0;
}

uint64_t MRKCList::hashCode() const {
  uint64_t hash = MRKFHashMix(kMRKTermList, terms_.size());
  for (const auto& term : terms_) hash = MRKFHashMix(hash, term ? term->hashCode() : 0);
  return hash;
}

void MRKCList::print(std::string& out) const {
  out += '[';
  for (size_t i = 0; i < terms_.size(); ++i) {
    if (i) out += ", ";
    if (terms_[i]) terms_[i]->print(out);
    else out += "nil";
  }
  out += ']';
}

Ref<MRKBTerm> MRKCList::copyTerm() const { return copy(); }

Ref<MRKCList> MRKCList::copy() const {
  Ref<MRKCList> made = list();
  made->terms_ = terms_;
  return made;
}

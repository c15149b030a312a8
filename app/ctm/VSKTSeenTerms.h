#pragma once
// The terms an expression viewer has already listed as samples, compared by value. It holds at
// most its capacity: a new term beyond it pushes out the oldest, which then counts as new again,
// so the set stays small however long the view runs, and it never refuses a term. Window's
// thread only (not locked).
#include <cstddef>
#include <deque>

#include "framework/substrate/MRKBTerm.h"

constexpr size_t kVSKSeenTermsCapacity = 64;

class VSKTSeenTerms {
public:
  explicit VSKTSeenTerms(size_t capacity = kVSKSeenTermsCapacity) : capacity_(capacity ? capacity : 1) {}

  bool contains(const MRKBTerm* term) const;
  // True when the term was new (and is now kept); false for a null or known term.
  bool insert(MRKBTerm* term);
  void clear() { terms_.clear(); }
  size_t count() const { return terms_.size(); }

private:
  size_t capacity_;
  struct Kept {
    uint64_t hash;
    Ref<MRKBTerm> term;
  };
  std::deque<Kept> terms_;  // oldest first
};

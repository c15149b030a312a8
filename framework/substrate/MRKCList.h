#pragma once
// A list of terms. Members are never null once compacted; fetchAtIndex answers null past the end.
#include <initializer_list>
#include <vector>

#include "framework/substrate/MRKBTerm.h"

class MRKCList : public MRKBTerm {
public:
  [[nodiscard]] static Ref<MRKCList> list();
  [[nodiscard]] static Ref<MRKCList> listWithCapacity(size_t capacity);
  // Null members end the list early, as a nil-ended argument list would.
  [[nodiscard]] static Ref<MRKCList> listWithTerms(std::initializer_list<MRKBTerm*> terms);
  [[nodiscard]] static Ref<MRKCList> listWithVector(std::vector<Ref<MRKBTerm>> terms);

  uint32_t ttid() const override { return kMRKTermList; }
  size_t count() const { return terms_.size(); }
  MRKBTerm* fetchAtIndex(size_t index) const { return index < terms_.size() ? terms_[index].get() : nullptr; }
  MRKBTerm* head() const { return fetchAtIndex(0); }
  MRKBTerm* tail() const { return terms_.empty() ? nullptr : terms_.back().get(); }
  // A new list of every term but the first (empty for an empty list).
  Ref<MRKCList> rest() const;
  // The members, for editing in place.
  std::vector<Ref<MRKBTerm>>& terms() { return terms_; }
  const std::vector<Ref<MRKBTerm>>& terms() const { return terms_; }

  // Replaces the term at index, or appends when index is the count; false past that.
  bool store(MRKBTerm* term, size_t index);
  void append(MRKBTerm* term) { terms_.emplace_back(term); }
  // Drops null members and spare capacity.
  void compact();

  uint64_t hashCode() const override;
  void print(std::string& out) const override;
  Ref<MRKBTerm> copyTerm() const override;
  Ref<MRKCList> copy() const;

protected:
  int compareSame(const MRKBTerm& other) const override;

private:
  MRKCList() = default;
  std::vector<Ref<MRKBTerm>> terms_;
};

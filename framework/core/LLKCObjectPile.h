#pragma once
// A set of objects by identity that remembers the order they came in.
#include "framework/core/LLKBObject.h"

#include <cstddef>
#include <unordered_set>
#include <vector>

class LLKCObjectPile : public LLKBObject {
public:
  [[nodiscard]] static Ref<LLKCObjectPile> pile() { return adoptRef(new LLKCObjectPile()); }
  // The capacity is a hint; the pile grows as needed.
  [[nodiscard]] static Ref<LLKCObjectPile> pileWithCapacity(size_t) { return pile(); }

  // 0 when added, EEXIST when the object is already in the pile, EINVAL for null, ENOMEM without memory.
  int append(Ref<LLKBObject> object);
  bool remove(const LLKBObject* object);
  bool contains(const LLKBObject* object) const { return members_.count(object) != 0; }
  size_t count() const { return order_.size(); }
  Ref<LLKBObject> fetchAtIndex(size_t index) const { return index < order_.size() ? order_[index] : nullptr; }
  void clear();
  std::vector<Ref<LLKBObject>> snapshot() const { return order_; }

private:
  LLKCObjectPile() = default;
  std::vector<Ref<LLKBObject>> order_;
  std::unordered_set<const LLKBObject*> members_;
};

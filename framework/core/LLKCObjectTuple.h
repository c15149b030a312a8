#pragma once
// A fixed number of slots, each holding an object or nothing.
#include "framework/core/LLKBObject.h"

#include <cstddef>
#include <initializer_list>
#include <vector>

class LLKCObjectTuple : public LLKBObject {
public:
  // capacity empty slots; null when they cannot be had.
  [[nodiscard]] static Ref<LLKCObjectTuple> tupleWithCapacity(size_t capacity);
  // One slot per object, in order (null objects leave the slot empty).
  [[nodiscard]] static Ref<LLKCObjectTuple> tupleWithObjects(std::initializer_list<Ref<LLKBObject>> objects);

  size_t count() const { return slots_.size(); }
  // 0 when stored, EINVAL when the index is past the last slot. A null object empties the slot.
  int store(Ref<LLKBObject> object, size_t index);
  // The slot's object; null when empty or out of range.
  Ref<LLKBObject> fetchAtIndex(size_t index) const { return index < slots_.size() ? slots_[index] : nullptr; }
  template <typename T>
  Ref<T> fetchAtIndexAs(size_t index) const {
    return refCast<T>(fetchAtIndex(index));
  }

private:
  LLKCObjectTuple() = default;
  std::vector<Ref<LLKBObject>> slots_;
};

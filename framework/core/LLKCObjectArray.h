#pragma once
// An indexed array of objects.
#include "framework/core/LLKBObjectSequence.h"

class LLKCObjectArray : public LLKBObjectSequence {
public:
  [[nodiscard]] static Ref<LLKCObjectArray> array() { return make<LLKCObjectArray>(); }
  // The capacity is a hint; the array grows as needed.
  [[nodiscard]] static Ref<LLKCObjectArray> arrayWithCapacity(size_t) { return make<LLKCObjectArray>(); }
  [[nodiscard]] static Ref<LLKCObjectArray> arrayWithObjects(std::initializer_list<Ref<LLKBObject>> objects) {
    return make<LLKCObjectArray>(objects);
  }

private:
  friend class LLKBObjectSequence;
  LLKCObjectArray() = default;
};

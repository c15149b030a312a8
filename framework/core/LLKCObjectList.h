#pragma once
// A list of objects in the order they were added.
#include "framework/core/LLKBObjectSequence.h"

class LLKCObjectList : public LLKBObjectSequence {
public:
  [[nodiscard]] static Ref<LLKCObjectList> list() { return make<LLKCObjectList>(); }
  // The capacity is a hint; the list grows as needed.
  [[nodiscard]] static Ref<LLKCObjectList> listWithCapacity(size_t) { return make<LLKCObjectList>(); }
  [[nodiscard]] static Ref<LLKCObjectList> listWithObjects(std::initializer_list<Ref<LLKBObject>> objects) {
    return make<LLKCObjectList>(objects);
  }

private:
  friend class LLKBObjectSequence;
  LLKCObjectList() = default;
};

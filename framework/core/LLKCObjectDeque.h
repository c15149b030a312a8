#pragma once
// An ordered collection with cheap additions and removals at both ends.
#include "framework/core/LLKBObjectSequence.h"

class LLKCObjectDeque : public LLKBObjectSequence {
public:
  [[nodiscard]] static Ref<LLKCObjectDeque> deque() { return make<LLKCObjectDeque>(); }
  // The capacity is a hint; the deque grows as needed.
  [[nodiscard]] static Ref<LLKCObjectDeque> dequeWithCapacity(size_t) { return make<LLKCObjectDeque>(); }
  [[nodiscard]] static Ref<LLKCObjectDeque> dequeWithObjects(std::initializer_list<Ref<LLKBObject>> objects) {
    return make<LLKCObjectDeque>(objects);
  }

private:
  friend class LLKBObjectSequence;
  LLKCObjectDeque() = default;
};

#pragma once
// A vector of objects filled once (stash) and then trimmed to its size (shrink).
#include "framework/core/LLKBObjectSequence.h"

class LLKCObjectVector : public LLKBObjectSequence {
public:
  // The capacity is a hint; the vector grows as needed.
  [[nodiscard]] static Ref<LLKCObjectVector> vectorWithCapacity(size_t) { return make<LLKCObjectVector>(); }

  int stash(Ref<LLKBObject> object) { return append(std::move(object)); }
  // Gives back the room not used; the entries stay.
  void shrink() { shrinkToFit(); }

private:
  friend class LLKBObjectSequence;
  LLKCObjectVector() = default;
};

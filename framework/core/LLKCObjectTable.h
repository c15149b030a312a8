#pragma once
// Objects under number keys (indexes, hash codes).
#include "framework/core/LLKBObjectMapOf.h"

#include <cstdint>

class LLKCObjectTable : public LLKBObjectMapOf<uint64_t> {
public:
  [[nodiscard]] static Ref<LLKCObjectTable> table() { return adoptRef(new LLKCObjectTable()); }
  // The capacity is a hint; the table grows as needed.
  [[nodiscard]] static Ref<LLKCObjectTable> tableWithCapacity(size_t) { return table(); }

private:
  LLKCObjectTable() = default;
};

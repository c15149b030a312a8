#pragma once
// Objects under text keys (labels, uids).
#include "framework/core/LLKBObjectMapOf.h"

#include <string>
#include <string_view>

class LLKCObjectMap : public LLKBObjectMapOf<std::string, std::string_view> {
public:
  [[nodiscard]] static Ref<LLKCObjectMap> map() { return adoptRef(new LLKCObjectMap()); }
  // The capacity is a hint; the map grows as needed.
  [[nodiscard]] static Ref<LLKCObjectMap> mapWithCapacity(size_t) { return map(); }

private:
  LLKCObjectMap() = default;
};

#pragma once
// Reads terms from their text form (docs/terms.md), the form every term prints.
#include <string>
#include <string_view>

#include "framework/substrate/MRKBTerm.h"

class MRKCReader : public LLKBObject {
public:
  [[nodiscard]] static Ref<MRKCReader> reader();

  // The one term the text holds (surrounding white space allowed), or null with a message
  // naming the offset of the problem in error (when given).
  Ref<MRKBTerm> readTermFromString(std::string_view text, std::string* error = nullptr) const;

  // Nesting deeper than this is refused, so hostile input cannot exhaust the stack.
  static constexpr int kMaxDepth = 256;

private:
  MRKCReader() = default;
};

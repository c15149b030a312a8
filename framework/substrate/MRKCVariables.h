#pragma once
// Bindings of named variables made by unification.
#include <string>
#include <unordered_map>

#include "framework/substrate/MRKBTerm.h"

class MRKCVariables : public LLKBObject {
public:
  [[nodiscard]] static Ref<MRKCVariables> variables();

  MRKBTerm* fetch(std::string_view name) const;
  void store(MRKBTerm* term, std::string_view name);
  void remove(std::string_view name);
  void clear() { bindings_.clear(); }
  size_t count() const { return bindings_.size(); }
  // The term with every bound variable replaced by its value, recursively.
  Ref<MRKBTerm> substitute(MRKBTerm* term) const;

private:
  MRKCVariables() = default;
  std::unordered_map<std::string, Ref<MRKBTerm>> bindings_;
};

#pragma once
// A variable of a pattern: named (X, _Name) and bound by unification, or a wildcard (_) that
// matches anything without being bound. Either may carry constraints: a list of symbols
// "is.<kind>" that the matched term must all satisfy.
#include "framework/substrate/MRKCList.h"

class MRKCVariable : public MRKBTerm {
public:
  // Null for a name that is not a variable name (an upper-case letter or "_" followed by
  // letters, digits and "_").
  [[nodiscard]] static Ref<MRKCVariable> variableWithName(std::string_view name, MRKCList* constraint = nullptr);
  [[nodiscard]] static Ref<MRKCVariable> variableAsWildcard();
  [[nodiscard]] static Ref<MRKCVariable> variableAsWildcardWithConstraint(MRKCList* constraint);
  static bool isVariableName(std::string_view name);

  uint32_t ttid() const override { return kMRKTermVariable; }
  const std::string& name() const { return name_; }
  bool isWildcard() const { return name_ == "_"; }
  MRKCList* constraint() const { return constraint_.get(); }
  // True when the term satisfies every constraint (a null term never does).
  bool admits(MRKBTerm* term) const;

  uint64_t hashCode() const override;
  void print(std::string& out) const override;
  Ref<MRKBTerm> copyTerm() const override;

protected:
  int compareSame(const MRKBTerm& other) const override;

private:
  MRKCVariable(std::string name, Ref<MRKCList> constraint)
      : name_(std::move(name)), constraint_(std::move(constraint)) {}
  std::string name_;
  Ref<MRKCList> constraint_;
};

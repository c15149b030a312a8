#pragma once
// A statement: a label, a list of terms and a real value (1.0 true, 0.0 false, or a weight).
// Written <label [t1, t2] 1.0>.
#include "framework/substrate/MRKCList.h"

class MRKCStatement : public MRKBTerm {
public:
  // Null for an empty label; a null terms list gives an empty one.
  [[nodiscard]] static Ref<MRKCStatement> statementWithLabel(std::string_view label, MRKCList* terms, double value);

  uint32_t ttid() const override { return kMRKTermStatement; }
  const std::string& label() const { return label_; }
  MRKCList* terms() const { return terms_.get(); }
  double value() const { return value_; }

  uint64_t hashCode() const override;
  void print(std::string& out) const override;
  Ref<MRKBTerm> copyTerm() const override;

protected:
  int compareSame(const MRKBTerm& other) const override;

private:
  MRKCStatement(std::string label, Ref<MRKCList> terms, double value)
      : label_(std::move(label)), terms_(std::move(terms)), value_(value) {}
  std::string label_;
  Ref<MRKCList> terms_;
  double value_;
};

#pragma once
// A string of UTF-8 text.
#include "framework/substrate/MRKBTerm.h"

class MRKCString : public MRKBTerm {
public:
  static Ref<MRKCString> stringWithValue(std::string_view value);

  uint32_t ttid() const override { return kMRKTermString; }
  const std::string& value() const { return value_; }

  int compareToChars(std::string_view chars) const override;
  uint64_t hashCode() const override;
  void print(std::string& out) const override;
  Ref<MRKBTerm> copyTerm() const override;

protected:
  int compareSame(const MRKBTerm& other) const override;

private:
  explicit MRKCString(std::string value) : value_(std::move(value)) {}
  std::string value_;
};

#pragma once
// A term whose value is a piece of text: what strings and symbols share. They differ in their
// type id, their text form and how they are made.
#include <string>

#include "framework/substrate/MRKBTerm.h"

class MRKBTextTerm : public MRKBTerm {
public:
  const std::string& value() const { return value_; }

  int compareToChars(std::string_view chars) const override;
  uint64_t hashCode() const override;

protected:
  explicit MRKBTextTerm(std::string value) : value_(std::move(value)) {}
  int compareSame(const MRKBTerm& other) const override;

private:
  std::string value_;
};

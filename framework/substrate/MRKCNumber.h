#pragma once
// A number: unsigned, signed, real or boolean. Numbers of different kinds compare by value, so
// 5, +5 and 5.0 are equal; booleans count as 0 and 1.
#include "framework/substrate/MRKBTerm.h"

class MRKCNumber : public MRKBTerm {
public:
  enum Kind : uint8_t { kUint, kSint, kReal, kBool };

  [[nodiscard]] static Ref<MRKCNumber> numberWithUint(uint64_t value);
  [[nodiscard]] static Ref<MRKCNumber> numberWithSint(int64_t value);
  [[nodiscard]] static Ref<MRKCNumber> numberWithReal(double value);
  [[nodiscard]] static Ref<MRKCNumber> numberWithBool(bool value);
  // A copy of another number (null for null).
  [[nodiscard]] static Ref<MRKCNumber> numberWithValue(const MRKCNumber* number);

  uint32_t ttid() const override { return kMRKTermNumber; }
  Kind kind() const { return kind_; }
  bool isInteger() const { return kind_ != kReal; }

  // The value converted: reals truncate toward zero (saturating), negatives give 0 as uint.
  double real() const;
  uint64_t uint() const;
  int64_t sint() const;
  bool boolean() const;
  // Turns the number into a real of the given value.
  void setReal(double value);

  uint64_t hashCode() const override;
  void print(std::string& out) const override;
  Ref<MRKBTerm> copyTerm() const override;

protected:
  int compareSame(const MRKBTerm& other) const override;

private:
  MRKCNumber() = default;

  Kind kind_ = kUint;
  uint64_t uint_ = 0;
  int64_t sint_ = 0;
  double real_ = 0;
};

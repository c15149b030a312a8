#pragma once
// A JSON number or boolean. It remembers how it was made (real, signed, unsigned or bool) so it
// is written back the same way; each reader converts when the value fits.
#include "framework/core/JSKBValue.h"

#include <cstdint>
#include <optional>

class JSKCNumber : public JSKBValue {
public:
  enum class Form { real, signedInt, unsignedInt, boolean };

  [[nodiscard]] static Ref<JSKCNumber> numberWithReal(double value);
  [[nodiscard]] static Ref<JSKCNumber> numberWithSint(int64_t value);
  [[nodiscard]] static Ref<JSKCNumber> numberWithUint(uint64_t value);
  [[nodiscard]] static Ref<JSKCNumber> numberWithBool(bool value);

  Kind kind() const override { return Kind::number; }
  Form form() const { return form_; }

  double realValue() const;
  // Empty when the value is not a whole number in the range (or, for bool, not a boolean).
  std::optional<int64_t> sintValue() const;
  std::optional<uint64_t> uintValue() const;
  std::optional<bool> boolValue() const;

private:
  JSKCNumber(Form form, double realPart, int64_t signedPart, uint64_t unsignedPart)
      : form_(form), real_(realPart), sint_(signedPart), uint_(unsignedPart) {}
  Form form_;
  double real_;
  int64_t sint_;
  uint64_t uint_;
};

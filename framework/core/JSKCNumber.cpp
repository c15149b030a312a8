#include "framework/core/JSKCNumber.h"

#include <cmath>
#include <limits>

Ref<JSKCNumber> JSKCNumber::numberWithReal(double value) { return adoptRef(new JSKCNumber(Form::real, value, 0, 0)); }
Ref<JSKCNumber> JSKCNumber::numberWithSint(int64_t value) {
  return adoptRef(new JSKCNumber(Form::signedInt, 0, value, 0));
}
Ref<JSKCNumber> JSKCNumber::numberWithUint(uint64_t value) {
  return adoptRef(new JSKCNumber(Form::unsignedInt, 0, 0, value));
}
Ref<JSKCNumber> JSKCNumber::numberWithBool(bool value) {
  return adoptRef(new JSKCNumber(Form::boolean, 0, 0, value ? 1 : 0));
}

double JSKCNumber::realValue() const {
  switch (form_) {
    case Form::real:
      return real_;
    case Form::signedInt:
      return static_cast<double>(sint_);
    case Form::unsignedInt:
    case Form::boolean:
      return static_cast<double>(uint_);
  }
  return 0;
}

std::optional<int64_t> JSKCNumber::sintValue() const {
  switch (form_) {
    case Form::signedInt:
      return sint_;
    case Form::unsignedInt:
      if (uint_ <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return static_cast<int64_t>(uint_);
      return std::nullopt;
    case Form::real:
      if (std::trunc(real_) == real_ && real_ >= -9223372036854775808.0 && real_ < 9223372036854775808.0)
        return static_cast<int64_t>(real_);
      return std::nullopt;
    case Form::boolean:
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<uint64_t> JSKCNumber::uintValue() const {
  switch (form_) {
    case Form::unsignedInt:
      return uint_;
    case Form::signedInt:
      if (sint_ >= 0) return static_cast<uint64_t>(sint_);
      return std::nullopt;
    case Form::real:
      if (std::trunc(real_) == real_ && real_ >= 0 && real_ < 18446744073709551616.0)
        return static_cast<uint64_t>(real_);
      return std::nullopt;
    case Form::boolean:
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<bool> JSKCNumber::boolValue() const {
  if (form_ == Form::boolean) return uint_ != 0;
  return std::nullopt;
}

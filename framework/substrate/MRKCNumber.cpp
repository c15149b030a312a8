#include "framework/substrate/MRKCNumber.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "framework/substrate/MRKTermText.h"

namespace {

// A number's value as either an exact integer (sign and magnitude) or a non-integral real.
struct Value {
  bool integral;
  bool negative;
  uint64_t magnitude;
  double real;
};

Value valueOf(const MRKCNumber& n) {
  switch (n.kind()) {
    case MRKCNumber::kUint:
    case MRKCNumber::kBool:
      return {true, false, n.uint(), 0};
    case MRKCNumber::kSint: {
      int64_t v = n.sint();
      uint64_t magnitude = v < 0 ? uint64_t{0} - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
      return {true, v < 0, magnitude, 0};
    }
    case MRKCNumber::kReal:
      break;
  }
  double r = n.real();
  if (std::isfinite(r) && std::trunc(r) == r && std::fabs(r) < 18446744073709551616.0) {
    bool negative = r < 0;
    return {true, negative && r != 0, static_cast<uint64_t>(std::fabs(r)), 0};
  }
  return {false, false, 0, r};
}

double asDouble(const Value& v) {
  if (!v.integral) return v.real;
  double magnitude = static_cast<double>(v.magnitude);
  return v.negative ? -magnitude : magnitude;
}

int compareValues(const Value& a, const Value& b) {
  if (a.integral && b.integral) {
    if (a.negative != b.negative) return a.negative ? -1 : 1;
    if (a.magnitude == b.magnitude) return 0;
    bool less = a.magnitude < b.magnitude;
    if (a.negative) less = !less;
    return less ? -1 : 1;
  }
  // A real beyond 64 bits lies past every integer, even where the integer rounds to it as a double.
  if (a.integral != b.integral) {
    double real = a.integral ? b.real : a.real;
    if (std::fabs(real) >= 18446744073709551616.0) {
      int order = real > 0 ? -1 : 1;  // the integer against the real
      return a.integral ? order : -order;
    }
  }
  double x = asDouble(a), y = asDouble(b);
  bool xNan = std::isnan(x), yNan = std::isnan(y);
  if (xNan || yNan) return xNan == yNan ? 0 : (xNan ? 1 : -1);  // NaN sorts last and equals itself
  return x < y ? -1 : x > y ? 1 : 0;
}

}  // namespace

Ref<MRKCNumber> MRKCNumber::numberWithUint(uint64_t value) {
  Ref<MRKCNumber> n = adoptRef(new MRKCNumber());
  n->kind_ = kUint;
  n->uint_ = value;
  return n;
}

Ref<MRKCNumber> MRKCNumber::numberWithSint(int64_t value) {
  Ref<MRKCNumber> n = adoptRef(new MRKCNumber());
  n->kind_ = kSint;
  n->sint_ = value;
  return n;
}

Ref<MRKCNumber> MRKCNumber::numberWithReal(double value) {
  Ref<MRKCNumber> n = adoptRef(new MRKCNumber());
  n->kind_ = kReal;
  n->real_ = value;
  return n;
}

Ref<MRKCNumber> MRKCNumber::numberWithBool(bool value) {
  Ref<MRKCNumber> n = adoptRef(new MRKCNumber());
  n->kind_ = kBool;
  n->uint_ = value ? 1 : 0;
  return n;
}

Ref<MRKCNumber> MRKCNumber::numberWithValue(const MRKCNumber* number) {
  if (!number) return nullptr;
  Ref<MRKCNumber> n = adoptRef(new MRKCNumber());
  n->kind_ = number->kind_;
  n->uint_ = number->uint_;
  n->sint_ = number->sint_;
  n->real_ = number->real_;
  return n;
}

double MRKCNumber::real() const {
  switch (kind_) {
    case kUint:
    case kBool:
      return static_cast<double>(uint_);
    case kSint:
      return static_cast<double>(sint_);
    case kReal:
      break;
  }
  return real_;
}

uint64_t MRKCNumber::uint() const {
  switch (kind_) {
    case kUint:
    case kBool:
      return uint_;
    case kSint:
      return sint_ < 0 ? 0 : static_cast<uint64_t>(sint_);
    case kReal:
      break;
  }
  if (!(real_ > 0)) return 0;  // negatives and NaN
  if (real_ >= 18446744073709551616.0) return std::numeric_limits<uint64_t>::max();
  return static_cast<uint64_t>(real_);
}

int64_t MRKCNumber::sint() const {
  switch (kind_) {
    case kUint:
    case kBool:
      return uint_ > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) ? std::numeric_limits<int64_t>::max()
                                                                                : static_cast<int64_t>(uint_);
    case kSint:
      return sint_;
    case kReal:
      break;
  }
  if (std::isnan(real_)) return 0;
  if (real_ >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (real_ < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(real_);
}

bool MRKCNumber::boolean() const {
  switch (kind_) {
    case kUint:
    case kBool:
      return uint_ != 0;
    case kSint:
      return sint_ != 0;
    case kReal:
      break;
  }
  return real_ != 0 && !std::isnan(real_);
}

void MRKCNumber::setReal(double value) {
  kind_ = kReal;
  real_ = value;
}

int MRKCNumber::compareSame(const MRKBTerm& other) const {
  return compareValues(valueOf(*this), valueOf(static_cast<const MRKCNumber&>(other)));
}

uint64_t MRKCNumber::hashCode() const {
  Value v = valueOf(*this);
  if (v.integral) return MRKFHashMix(MRKFHashMix(kMRKTermNumber, v.negative && v.magnitude ? 1 : 0), v.magnitude);
  if (std::isnan(v.real)) return MRKFHashMix(kMRKTermNumber, 0x7ff8);
  uint64_t bits;
  std::memcpy(&bits, &v.real, sizeof bits);
  return MRKFHashMix(MRKFHashMix(kMRKTermNumber, 2), bits);
}

void MRKCNumber::print(std::string& out) const {
  switch (kind_) {
    case kUint:
      out += std::to_string(uint_);
      return;
    case kSint:
      if (sint_ >= 0) out += '+';
      out += std::to_string(sint_);
      return;
    case kBool:
      out += uint_ ? "true" : "false";
      return;
    case kReal:
      MRKFAppendReal(out, real_);
      return;
  }
}

Ref<MRKBTerm> MRKCNumber::copyTerm() const { return numberWithValue(this); }

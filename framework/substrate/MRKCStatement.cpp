#include "framework/substrate/MRKCStatement.h"

#include <cmath>
#include <cstring>

#include "framework/substrate/MRKTermText.h"

Ref<MRKCStatement> MRKCStatement::statementWithLabel(std::string_view label, MRKCList* terms, double value) {
  if (label.empty()) return nullptr;
  return adoptRef(new MRKCStatement(std::string(label), terms ? Ref<MRKCList>(terms) : MRKCList::list(), value));
}

int MRKCStatement::compareSame(const MRKBTerm& other) const {
  const auto& theirs = static_cast<const MRKCStatement&>(other);
  if (int order = label_.compare(theirs.label_)) return order < 0 ? -1 : 1;
  if (int order = terms_->compareTo(theirs.terms_.get())) return order;
  if (value_ == theirs.value_ || (std::isnan(value_) && std::isnan(theirs.value_))) return 0;
  return value_ < theirs.value_ || std::isnan(theirs.value_) ? -1 : 1;
}

uint64_t MRKCStatement::hashCode() const {
  uint64_t hash = MRKFHashBytes(kMRKTermStatement, label_.data(), label_.size());
  double value = value_ == 0 ? 0.0 : value_;  // -0.0 equals 0.0
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return MRKFHashMix(MRKFHashMix(hash, terms_->hashCode()), std::isnan(value) ? 0x7ff8 : bits);
}

void MRKCStatement::print(std::string& out) const {
  out += '<';
  MRKFAppendSymbol(out, label_);
  out += ' ';
  terms_->print(out);
  out += ' ';
  MRKFAppendReal(out, value_);
  out += '>';
}

Ref<MRKBTerm> MRKCStatement::copyTerm() const { return adoptRef(new MRKCStatement(label_, terms_->copy(), value_)); }

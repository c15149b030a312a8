#include "framework/substrate/MRKCFunc.h"

#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKTermText.h"

Ref<MRKCFunc> MRKCFunc::funcWithLabel(MRKCSymbol* label, MRKCList* terms) {
  if (!label) return nullptr;
  return adoptRef(new MRKCFunc(Ref<MRKCSymbol>(label), terms ? Ref<MRKCList>(terms) : MRKCList::list()));
}

Ref<MRKCFunc> MRKCFunc::funcWithLabel(std::string_view label, MRKCList* terms) {
  return funcWithLabel(MRKCSymbol::symbolWithValue(label).get(), terms);
}

int MRKCFunc::compareSame(const MRKBTerm& other) const {
  const auto& theirs = static_cast<const MRKCFunc&>(other);
  if (int order = label_->compareTo(theirs.label_.get())) return order;
  return terms_->compareTo(theirs.terms_.get());
}

uint64_t MRKCFunc::hashCode() const { return MRKFHashMix(MRKFHashMix(ttid(), label_->hashCode()), terms_->hashCode()); }

void MRKCFunc::printBody(std::string& out) const {
  MRKFAppendSymbol(out, label_->value());
  out += '(';
  const auto& terms = terms_->terms();
  for (size_t i = 0; i < terms.size(); ++i) {
    if (i) out += ", ";
    if (terms[i]) terms[i]->print(out);
    else out += "nil";
  }
  out += ')';
}

void MRKCFunc::print(std::string& out) const { printBody(out); }

Ref<MRKBTerm> MRKCFunc::copyTerm() const { return adoptRef(new MRKCFunc(label_, terms_->copy())); }

Ref<MRKCPredicate> MRKCPredicate::predicateWithLabel(MRKCSymbol* label, MRKCList* terms, uint32_t flags) {
  if (!label) return nullptr;
  return adoptRef(new MRKCPredicate(Ref<MRKCSymbol>(label), terms ? Ref<MRKCList>(terms) : MRKCList::list(), flags));
}

Ref<MRKCPredicate> MRKCPredicate::predicateWithLabel(std::string_view label, MRKCList* terms, uint32_t flags) {
  return predicateWithLabel(MRKCSymbol::symbolWithValue(label).get(), terms, flags);
}

int MRKCPredicate::compareSame(const MRKBTerm& other) const {
  if (int order = MRKCFunc::compareSame(other)) return order;
  uint32_t theirs = static_cast<const MRKCPredicate&>(other).flags_;
  return flags_ < theirs ? -1 : flags_ > theirs ? 1 : 0;
}

uint64_t MRKCPredicate::hashCode() const { return MRKFHashMix(MRKCFunc::hashCode(), flags_); }

void MRKCPredicate::print(std::string& out) const {
  out += '?';
  if (flags_) {
    out += '<';
    out += std::to_string(flags_);
    out += '>';
  }
  printBody(out);
}

Ref<MRKBTerm> MRKCPredicate::copyTerm() const {
  return adoptRef(new MRKCPredicate(Ref<MRKCSymbol>(label()), terms()->copy(), flags_));
}

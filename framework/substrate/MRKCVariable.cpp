#include "framework/substrate/MRKCVariable.h"

#include "framework/substrate/MRKCSymbol.h"

namespace {

struct KindName {
  const char* name;
  uint32_t ttid;
};

constexpr KindName kKindNames[] = {
    {"is.number", kMRKTermNumber},       {"is.symbol", kMRKTermSymbol},       {"is.string", kMRKTermString},
    {"is.binary", kMRKTermBinary},       {"is.regexp", kMRKTermRegexp},       {"is.list", kMRKTermList},
    {"is.func", kMRKTermFunc},           {"is.predicate", kMRKTermPredicate}, {"is.variable", kMRKTermVariable},
    {"is.statement", kMRKTermStatement}, {"is.frame", kMRKTermFrame},         {"is.range", kMRKTermRange},
    {"is.escaper", kMRKTermEscaper},     {"is.guid", kMRKTermGuid},           {"is.quirk", kMRKTermQuirk},
    {"is.data", kMRKTermData},
};

bool satisfies(MRKBTerm* term, const MRKCSymbol& constraint) {
  const std::string& name = constraint.value();
  if (name == "is.atom") return term->asAtom() != nullptr;
  for (const KindName& kind : kKindNames)
    if (name == kind.name) return term->ttid() == kind.ttid || (kind.ttid == kMRKTermFunc && term->asFunc());
  return false;  // a constraint we do not know admits nothing
}

}  // namespace

bool MRKCVariable::isVariableName(std::string_view name) {
  if (name.empty() || !((name.front() >= 'A' && name.front() <= 'Z') || name.front() == '_')) return false;
  for (char c : name)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return true;
}

Ref<MRKCVariable> MRKCVariable::variableWithName(std::string_view name, MRKCList* constraint) {
  if (!isVariableName(name)) return nullptr;
  return adoptRef(new MRKCVariable(std::string(name), Ref<MRKCList>(constraint)));
}

Ref<MRKCVariable> MRKCVariable::variableAsWildcard() { return adoptRef(new MRKCVariable("_", nullptr)); }

Ref<MRKCVariable> MRKCVariable::variableAsWildcardWithConstraint(MRKCList* constraint) {
  return adoptRef(new MRKCVariable("_", Ref<MRKCList>(constraint)));
}

bool MRKCVariable::admits(MRKBTerm* term) const {
  if (!term) return false;
  if (!constraint_) return true;
  for (const auto& entry : constraint_->terms()) {
    MRKCSymbol* symbol = ::asSymbol(entry.get());
    if (!symbol || !satisfies(term, *symbol)) return false;
  }
  return true;
}

int MRKCVariable::compareSame(const MRKBTerm& other) const {
  const auto& theirs = static_cast<const MRKCVariable&>(other);
  if (int order = name_.compare(theirs.name_)) return order < 0 ? -1 : 1;
  return MRKFCompareTerms(constraint_.get(), theirs.constraint_.get());
}

uint64_t MRKCVariable::hashCode() const {
  uint64_t hash = MRKFHashBytes(kMRKTermVariable, name_.data(), name_.size());
  return constraint_ ? MRKFHashMix(hash, constraint_->hashCode()) : hash;
}

void MRKCVariable::print(std::string& out) const {
  out += name_;
  if (constraint_) {
    out += ':';
    constraint_->print(out);
  }
}

Ref<MRKBTerm> MRKCVariable::copyTerm() const { return adoptRef(new MRKCVariable(name_, constraint_)); }

#include "framework/substrate/MRKBTerm.h"

#include <cstring>

#include "framework/substrate/MRKCBinary.h"
#include "framework/substrate/MRKCData.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCQuirk.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCVariable.h"

namespace {

template <typename T>
T* castTo(MRKBTerm* term, uint32_t ttid) {
  return term && term->ttid() == ttid ? static_cast<T*>(term) : nullptr;
}

bool isAtomType(uint32_t ttid) {
  switch (ttid) {
    case kMRKTermNumber:
    case kMRKTermSymbol:
    case kMRKTermString:
    case kMRKTermBinary:
    case kMRKTermData:
      return true;
    default:
      return false;
  }
}

}  // namespace

MRKBTerm* MRKBTerm::asAtom() { return isAtomType(ttid()) ? this : nullptr; }
MRKCNumber* MRKBTerm::asNumber() { return castTo<MRKCNumber>(this, kMRKTermNumber); }
MRKCSymbol* MRKBTerm::asSymbol() { return castTo<MRKCSymbol>(this, kMRKTermSymbol); }
MRKCString* MRKBTerm::asString() { return castTo<MRKCString>(this, kMRKTermString); }
MRKCBinary* MRKBTerm::asBinary() { return castTo<MRKCBinary>(this, kMRKTermBinary); }
MRKCData* MRKBTerm::asData() { return castTo<MRKCData>(this, kMRKTermData); }
MRKCList* MRKBTerm::asList() { return castTo<MRKCList>(this, kMRKTermList); }
MRKCFrame* MRKBTerm::asFrame() { return castTo<MRKCFrame>(this, kMRKTermFrame); }
MRKCFunc* MRKBTerm::asFunc() {
  return ttid() == kMRKTermFunc || ttid() == kMRKTermPredicate ? static_cast<MRKCFunc*>(this) : nullptr;
}
MRKCPredicate* MRKBTerm::asPredicate() { return castTo<MRKCPredicate>(this, kMRKTermPredicate); }
MRKCVariable* MRKBTerm::asVariable() { return castTo<MRKCVariable>(this, kMRKTermVariable); }
MRKCStatement* MRKBTerm::asStatement() { return castTo<MRKCStatement>(this, kMRKTermStatement); }
MRKCQuirk* MRKBTerm::asQuirk() { return castTo<MRKCQuirk>(this, kMRKTermQuirk); }

MRKBTerm* asAtom(MRKBTerm* term) { return term ? term->asAtom() : nullptr; }
MRKCNumber* asNumber(MRKBTerm* term) { return term ? term->asNumber() : nullptr; }
MRKCSymbol* asSymbol(MRKBTerm* term) { return term ? term->asSymbol() : nullptr; }
MRKCString* asString(MRKBTerm* term) { return term ? term->asString() : nullptr; }
MRKCBinary* asBinary(MRKBTerm* term) { return term ? term->asBinary() : nullptr; }
MRKCData* asData(MRKBTerm* term) { return term ? term->asData() : nullptr; }
MRKCList* asList(MRKBTerm* term) { return term ? term->asList() : nullptr; }
MRKCFrame* asFrame(MRKBTerm* term) { return term ? term->asFrame() : nullptr; }
MRKCFunc* asFunc(MRKBTerm* term) { return term ? term->asFunc() : nullptr; }
MRKCPredicate* asPredicate(MRKBTerm* term) { return term ? term->asPredicate() : nullptr; }
MRKCVariable* asVariable(MRKBTerm* term) { return term ? term->asVariable() : nullptr; }
MRKCStatement* asStatement(MRKBTerm* term) { return term ? term->asStatement() : nullptr; }
MRKCQuirk* asQuirk(MRKBTerm* term) { return term ? term->asQuirk() : nullptr; }

int MRKBTerm::compareTo(const MRKBTerm* other) const {
  if (!other) return 1;
  if (other == this) return 0;
  if (ttid() != other->ttid()) return ttid() < other->ttid() ? -1 : 1;
  return compareSame(*other);
}

int MRKBTerm::compareToChars(std::string_view chars) const {
  int order = text().compare(chars);
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

std::string MRKBTerm::text() const {
  std::string out;
  print(out);
  return out;
}

int MRKFCompareTerms(const MRKBTerm* a, const MRKBTerm* b) {
  if (!a) return b ? -1 : 0;
  return a->compareTo(b);
}

std::string MRKFTermText(const MRKBTerm* term) { return term ? term->text() : "nil"; }

uint64_t MRKFHashMix(uint64_t seed, uint64_t value) {
  // splitmix64 finaliser over the combination: cheap and well spread.
  uint64_t z = seed ^ (value + 0x9e3779b97f4a7c15ull + (seed << 6) + (seed >> 2));
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return z ^ (z >> 31);
}

uint64_t MRKFHashBytes(uint64_t seed, const void* data, size_t size) {
  uint64_t hash = 0xcbf29ce484222325ull ^ seed;  // FNV-1a
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001b3ull;
  return MRKFHashMix(seed, hash);
}

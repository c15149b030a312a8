#pragma once
// The root of every term that processors exchange. Terms are reference counted; atoms are
// immutable once made (a number's setReal is the one exception), containers (lists, frames) are
// filled by their maker and then treated as read-only once they travel in a message.
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/core/LLKBObject.h"

// Type ids (`ttid`). Ids without a class here are reserved so that readers of the ids agree.
enum : uint32_t {
  kMRKTermNumber = 1,
  kMRKTermSymbol = 2,
  kMRKTermString = 3,
  kMRKTermBinary = 4,
  kMRKTermRegexp = 5,
  kMRKTermList = 6,
  kMRKTermFunc = 7,
  kMRKTermPredicate = 8,
  kMRKTermVariable = 9,
  kMRKTermStatement = 10,
  kMRKTermFrame = 12,
  kMRKTermRange = 13,
  kMRKTermEscaper = 14,
  kMRKTermGuid = 15,
  kMRKTermQuirk = 16,
  kMRKTermData = 17,
};

class MRKCNumber;
class MRKCSymbol;
class MRKCString;
class MRKCBinary;
class MRKCData;
class MRKCList;
class MRKCFrame;
class MRKCFunc;
class MRKCPredicate;
class MRKCVariable;
class MRKCStatement;
class MRKCQuirk;

class MRKBTerm : public LLKBObject {
public:
  virtual uint32_t ttid() const = 0;

  // Casts: the term as that kind, or null for another kind. The free functions of the same
  // names below also accept a null term.
  MRKBTerm* asAtom();
  MRKCNumber* asNumber();
  MRKCSymbol* asSymbol();
  MRKCString* asString();
  MRKCBinary* asBinary();
  MRKCData* asData();
  MRKCList* asList();
  MRKCFrame* asFrame();
  MRKCFunc* asFunc();  // a predicate is a func too
  MRKCPredicate* asPredicate();
  MRKCVariable* asVariable();
  MRKCStatement* asStatement();
  MRKCQuirk* asQuirk();

  // Total order: by type id, then by value; 0 when equal. A null other sorts first.
  int compareTo(const MRKBTerm* other) const;
  // Compares the value of a symbol or string (else the text form) with the characters.
  virtual int compareToChars(std::string_view chars) const;
  // Structural: equal terms (compareTo 0) have equal hash codes.
  virtual uint64_t hashCode() const = 0;

  // The text form (docs/terms.md); MRKCReader reads it back.
  std::string text() const;
  virtual void print(std::string& out) const = 0;

  // A new term of the same value; containers copy their member list, not the members.
  virtual Ref<MRKBTerm> copyTerm() const = 0;

protected:
  // Compares with a term of the same type id.
  virtual int compareSame(const MRKBTerm& other) const = 0;
};

// Null-safe casts.
MRKBTerm* asAtom(MRKBTerm* term);
MRKCNumber* asNumber(MRKBTerm* term);
MRKCSymbol* asSymbol(MRKBTerm* term);
MRKCString* asString(MRKBTerm* term);
MRKCBinary* asBinary(MRKBTerm* term);
MRKCData* asData(MRKBTerm* term);
MRKCList* asList(MRKBTerm* term);
MRKCFrame* asFrame(MRKBTerm* term);
MRKCFunc* asFunc(MRKBTerm* term);
MRKCPredicate* asPredicate(MRKBTerm* term);
MRKCVariable* asVariable(MRKBTerm* term);
MRKCStatement* asStatement(MRKBTerm* term);
MRKCQuirk* asQuirk(MRKBTerm* term);

// 0 when both are null or equal.
int MRKFCompareTerms(const MRKBTerm* a, const MRKBTerm* b);
// The text form of a term, "nil" for null.
std::string MRKFTermText(const MRKBTerm* term);

// Hash mixing shared by the term classes.
uint64_t MRKFHashMix(uint64_t seed, uint64_t value);
uint64_t MRKFHashBytes(uint64_t seed, const void* data, size_t size);

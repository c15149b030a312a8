#pragma once
// Helpers over terms that processors use everywhere: reading and writing frame members with
// defaults, decoding symbols into flags, making statements, converting atoms, arithmetic and the
// time to live of answers.
#include <nlohmann/json_fwd.hpp>

#include "framework/substrate/MRKCFrame.h"

class JSKBValue;
class JSKCFrame;
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCSymbol.h"

// Frame members: the value, or the default when absent or not a number.
uint64_t MRKFFrameFetchUint(const MRKCFrame* frame, std::string_view label, uint64_t fallback);
int64_t MRKFFrameFetchSint(const MRKCFrame* frame, std::string_view label, int64_t fallback);
double MRKFFrameFetchReal(const MRKCFrame* frame, std::string_view label, double fallback);
// Any atom MRKFAtomToBoolean converts; else the default.
bool MRKFFrameFetchBool(const MRKCFrame* frame, std::string_view label, bool fallback);
// The member, or null when absent or of another kind.
MRKCSymbol* MRKFFrameFetchSymbol(const MRKCFrame* frame, std::string_view label);
MRKCString* MRKFFrameFetchString(const MRKCFrame* frame, std::string_view label);
MRKBTerm* MRKFFrameFetchTerm(const MRKCFrame* frame, std::string_view label);

// True when stored (false for a null frame or term).
bool MRKFFrameStoreUint(MRKCFrame* frame, std::string_view label, uint64_t value);
bool MRKFFrameStoreSint(MRKCFrame* frame, std::string_view label, int64_t value);
bool MRKFFrameStoreReal(MRKCFrame* frame, std::string_view label, double value);
bool MRKFFrameStoreBool(MRKCFrame* frame, std::string_view label, bool value);
bool MRKFFrameStoreTerm(MRKCFrame* frame, std::string_view label, MRKBTerm* term);

// A row of a table that names flag values.
struct MRKTFlagName {
  const char* name;
  uint64_t value;
};
// The value of the row named by the symbol (or string), else the default.
uint64_t MRKFDecodeTermAsFlagWithDefault(const MRKBTerm* term, const MRKTFlagName* rows, size_t count,
                                         uint64_t fallback);
// The same with 0 as the default.
uint64_t MRKFDecodeTermAsFlag(const MRKBTerm* term, const MRKTFlagName* rows, size_t count);

// Statements of one, four or five terms; null when the label is empty or a term is null.
Ref<MRKCStatement> MRKFMakeStatementWithTerm(std::string_view label, MRKBTerm* term, double value);
Ref<MRKCStatement> MRKFMakeStatementWith4Terms(std::string_view label, MRKBTerm* t0, MRKBTerm* t1, MRKBTerm* t2,
                                               MRKBTerm* t3, double value);
Ref<MRKCStatement> MRKFMakeStatementWith5Terms(std::string_view label, MRKBTerm* t0, MRKBTerm* t1, MRKBTerm* t2,
                                               MRKBTerm* t3, MRKBTerm* t4, double value);

// 0 when converted into *value: numbers (non-zero is true), symbols and strings "true", "yes",
// "on", "false", "no", "off". EINVAL for anything else (value untouched).
int MRKFAtomToBoolean(const MRKBTerm* atom, bool* value);
// The text a term shows a person: a symbol's or string's value, else its printed form; empty for null.
std::string MRKFAtomToText(const MRKBTerm* atom);

// The product of two numbers: unsigned when both are unsigned and it fits, signed when both are
// integers and it fits, else real. Null when either is not a number.
Ref<MRKCNumber> MRKFArithmeticMul(const MRKBTerm* a, const MRKBTerm* b);

// Seconds since an arbitrary fixed start, the clock of message stamps (stp).
double MRKFNowInSeconds();
// The time a message made at stp with the given time to live has left (0 when run out): the
// time to live of an answer to it.
float MRKFComputeNextTTL(float ttl, double stp);

// JSON values as terms. Objects become frames (member order kept), arrays lists, integers
// unsigned or signed numbers, other numbers reals, booleans boolean numbers, null the symbol
// null. Strings become symbols, or strings with kMRKJSONStrings. With kMRKJSONTerms an object
// {"$term": "text"} becomes the term read from the text form. Null on a bad term text, with the
// reason in error.
enum : uint32_t { kMRKJSONStrings = 1, kMRKJSONTerms = 2 };
Ref<MRKBTerm> MRKFJSONDecodeTerm(const nlohmann::ordered_json& json, uint32_t flags, std::string* error = nullptr);
// The same for an object, giving a frame (null for anything else).
Ref<MRKCFrame> MRKFJSONDecodeFrame(const nlohmann::ordered_json& json, uint32_t flags, std::string* error = nullptr);
// The same for the core kit's JSON values and frames.
Ref<MRKBTerm> MRKFJSONDecodeTerm(const JSKBValue* json, uint32_t flags, std::string* error = nullptr);
Ref<MRKCFrame> MRKFJSONDecodeFrame(const JSKCFrame* json, uint32_t flags, std::string* error = nullptr);

#include "framework/substrate/MRKFTerms.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "framework/substrate/MRKCReader.h"

uint64_t MRKFFrameFetchUint(const MRKCFrame* frame, std::string_view label, uint64_t fallback) {
  MRKCNumber* number = asNumber(MRKFFrameFetchTerm(frame, label));
  return number ? number->uint() : fallback;
}

int64_t MRKFFrameFetchSint(const MRKCFrame* frame, std::string_view label, int64_t fallback) {
  MRKCNumber* number = asNumber(MRKFFrameFetchTerm(frame, label));
  return number ? number->sint() : fallback;
}

double MRKFFrameFetchReal(const MRKCFrame* frame, std::string_view label, double fallback) {
  MRKCNumber* number = asNumber(MRKFFrameFetchTerm(frame, label));
  return number ? number->real() : fallback;
}

bool MRKFFrameFetchBool(const MRKCFrame* frame, std::string_view label, bool fallback) {
  bool value = fallback;
  return MRKFAtomToBoolean(MRKFFrameFetchTerm(frame, label), &value) == 0 ? value : fallback;
}

MRKCSymbol* MRKFFrameFetchSymbol(const MRKCFrame* frame, std::string_view label) { return asSymbol(MRKFFrameFetchTerm(frame, label)); }

MRKCString* MRKFFrameFetchString(const MRKCFrame* frame, std::string_view label) { return asString(MRKFFrameFetchTerm(frame, label)); }

MRKBTerm* MRKFFrameFetchTerm(const MRKCFrame* frame, std::string_view label) { return frame ? frame->fetchForLabel(label) : nullptr; }

bool MRKFFrameStoreTerm(MRKCFrame* frame, std::string_view label, MRKBTerm* term) {
  return frame && term && frame->store(term, label) == 0;
}

bool MRKFFrameStoreUint(MRKCFrame* frame, std::string_view label, uint64_t value) {
  return MRKFFrameStoreTerm(frame, label, MRKCNumber::numberWithUint(value).get());
}

bool MRKFFrameStoreSint(MRKCFrame* frame, std::string_view label, int64_t value) {
  return MRKFFrameStoreTerm(frame, label, MRKCNumber::numberWithSint(value).get());
}

bool MRKFFrameStoreReal(MRKCFrame* frame, std::string_view label, double value) {
  return MRKFFrameStoreTerm(frame, label, MRKCNumber::numberWithReal(value).get());
}

bool MRKFFrameStoreBool(MRKCFrame* frame, std::string_view label, bool value) {
  return MRKFFrameStoreTerm(frame, label, MRKCNumber::numberWithBool(value).get());
}

uint64_t MRKFDecodeTermAsFlagWithDefault(const MRKBTerm* term, const MRKTFlagName* rows, size_t count, uint64_t fallback) {
  if (!term || !rows || (term->ttid() != kMRKTermSymbol && term->ttid() != kMRKTermString)) return fallback;
  for (size_t i = 0; i < count; ++i)
    if (rows[i].name && term->compareToChars(rows[i].name) == 0) return rows[i].value;
  return fallback;
}

uint64_t MRKFDecodeTermAsFlag(const MRKBTerm* term, const MRKTFlagName* rows, size_t count) {
  return MRKFDecodeTermAsFlagWithDefault(term, rows, count, 0);
}

Ref<MRKCStatement> MRKFMakeStatementWithTerm(std::string_view label, MRKBTerm* term, double value) {
  if (!term) return nullptr;
  return MRKCStatement::statementWithLabel(label, MRKCList::listWithTerms({term}).get(), value);
}

Ref<MRKCStatement> MRKFMakeStatementWith4Terms(std::string_view label, MRKBTerm* t0, MRKBTerm* t1, MRKBTerm* t2, MRKBTerm* t3,
                                               double value) {
  if (!t0 || !t1 || !t2 || !t3) return nullptr;
  return MRKCStatement::statementWithLabel(label, MRKCList::listWithTerms({t0, t1, t2, t3}).get(), value);
}

Ref<MRKCStatement> MRKFMakeStatementWith5Terms(std::string_view label, MRKBTerm* t0, MRKBTerm* t1, MRKBTerm* t2, MRKBTerm* t3,
                                               MRKBTerm* t4, double value) {
  if (!t0 || !t1 || !t2 || !t3 || !t4) return nullptr;
  return MRKCStatement::statementWithLabel(label, MRKCList::listWithTerms({t0, t1, t2, t3, t4}).get(), value);
}

int MRKFAtomToBoolean(const MRKBTerm* atom, bool* value) {
  if (!atom || !value) return 22;
  if (atom->ttid() == kMRKTermNumber) {
    *value = static_cast<const MRKCNumber*>(atom)->boolean();
    return 0;
  }
  if (atom->ttid() != kMRKTermSymbol && atom->ttid() != kMRKTermString) return 22;
  for (const char* word : {"true", "yes", "on"})
    if (atom->compareToChars(word) == 0) return *value = true, 0;
  for (const char* word : {"false", "no", "off"})
    if (atom->compareToChars(word) == 0) return *value = false, 0;
  return 22;
}

Ref<MRKCNumber> MRKFArithmeticMul(const MRKBTerm* a, const MRKBTerm* b) {
  if (!a || !b || a->ttid() != kMRKTermNumber || b->ttid() != kMRKTermNumber) return nullptr;
  const auto* x = static_cast<const MRKCNumber*>(a);
  const auto* y = static_cast<const MRKCNumber*>(b);
  if (x->isInteger() && y->isInteger()) {
    bool xSigned = x->kind() == MRKCNumber::kSint, ySigned = y->kind() == MRKCNumber::kSint;
    if (!xSigned && !ySigned) {
      uint64_t product;
      if (!__builtin_mul_overflow(x->uint(), y->uint(), &product)) return MRKCNumber::numberWithUint(product);
    } else {
      int64_t product;
      bool fits = x->uint() <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) &&
                  y->uint() <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
      if (fits && !__builtin_mul_overflow(x->sint(), y->sint(), &product)) return MRKCNumber::numberWithSint(product);
    }
  }
  return MRKCNumber::numberWithReal(x->real() * y->real());
}

double MRKFNowInSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

float MRKFComputeNextTTL(float ttl, double stp) {
  double left = static_cast<double>(ttl) - (MRKFNowInSeconds() - stp);
  return left > 0 && std::isfinite(left) ? static_cast<float>(left) : 0.0f;
}

Ref<MRKBTerm> MRKFJSONDecodeTerm(const nlohmann::ordered_json& json, uint32_t flags, std::string* error) {
  switch (json.type()) {
    case nlohmann::ordered_json::value_t::object: {
      if ((flags & kMRKJSONTerms) && json.size() == 1 && json.contains("$term")) {
        const auto& text = json["$term"];
        if (!text.is_string()) {
          if (error) *error = "\"$term\" takes a string";
          return nullptr;
        }
        return MRKCReader::reader()->readTermFromString(text.get<std::string>(), error);
      }
      Ref<MRKCFrame> frame = MRKCFrame::frameWithCapacity(json.size());
      for (const auto& [key, value] : json.items()) {
        Ref<MRKBTerm> term = MRKFJSONDecodeTerm(value, flags, error);
        if (!term) {
          if (error) *error = "\"" + key + "\": " + *error;
          return nullptr;
        }
        frame->store(term.get(), key);
      }
      return frame;
    }
    case nlohmann::ordered_json::value_t::array: {
      Ref<MRKCList> list = MRKCList::listWithCapacity(json.size());
      size_t index = 0;
      for (const auto& value : json) {
        Ref<MRKBTerm> term = MRKFJSONDecodeTerm(value, flags, error);
        if (!term) {
          if (error) *error = "[" + std::to_string(index) + "]: " + *error;
          return nullptr;
        }
        list->append(term.get());
        ++index;
      }
      return list;
    }
    case nlohmann::ordered_json::value_t::string: {
      const auto& text = json.get_ref<const std::string&>();
      if (flags & kMRKJSONStrings) return MRKCString::stringWithValue(text);
      return MRKCSymbol::symbolWithValue(text);
    }
    case nlohmann::ordered_json::value_t::boolean:
      return MRKCNumber::numberWithBool(json.get<bool>());
    case nlohmann::ordered_json::value_t::number_unsigned:
      return MRKCNumber::numberWithUint(json.get<uint64_t>());
    case nlohmann::ordered_json::value_t::number_integer: {
      int64_t value = json.get<int64_t>();
      return value >= 0 ? MRKCNumber::numberWithUint(static_cast<uint64_t>(value)) : MRKCNumber::numberWithSint(value);
    }
    case nlohmann::ordered_json::value_t::number_float:
      return MRKCNumber::numberWithReal(json.get<double>());
    default:
      return MRKCSymbol::symbolWithValue("null");
  }
}

Ref<MRKCFrame> MRKFJSONDecodeFrame(const nlohmann::ordered_json& json, uint32_t flags, std::string* error) {
  if (!json.is_object()) {
    if (error) *error = "not an object";
    return nullptr;
  }
  Ref<MRKBTerm> term = MRKFJSONDecodeTerm(json, flags, error);
  if (term && !term->asFrame() && error) *error = "not a frame";
  return term ? Ref<MRKCFrame>(term->asFrame()) : nullptr;
}

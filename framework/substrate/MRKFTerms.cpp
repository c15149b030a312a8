#include "framework/substrate/MRKFTerms.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCFrame.h"
#include "framework/core/JSKCNumber.h"
#include "framework/core/JSKCString.h"
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

MRKCSymbol* MRKFFrameFetchSymbol(const MRKCFrame* frame, std::string_view label) {
  return asSymbol(MRKFFrameFetchTerm(frame, label));
}

MRKCString* MRKFFrameFetchString(const MRKCFrame* frame, std::string_view label) {
  return asString(MRKFFrameFetchTerm(frame, label));
}

MRKBTerm* MRKFFrameFetchTerm(const MRKCFrame* frame, std::string_view label) {
  return frame ? frame->fetchForLabel(label) : nullptr;
}

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

uint64_t MRKFDecodeTermAsFlagWithDefault(const MRKBTerm* term, const MRKTFlagName* rows, size_t count,
                                         uint64_t fallback) {
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

Ref<MRKCStatement> MRKFMakeStatementWith4Terms(std::string_view label, MRKBTerm* t0, MRKBTerm* t1, MRKBTerm* t2,
                                               MRKBTerm* t3, double value) {
  if (!t0 || !t1 || !t2 || !t3) return nullptr;
  return MRKCStatement::statementWithLabel(label, MRKCList::listWithTerms({t0, t1, t2, t3}).get(), value);
}

Ref<MRKCStatement> MRKFMakeStatementWith5Terms(std::string_view label, MRKBTerm* t0, MRKBTerm* t1, MRKBTerm* t2,
                                               MRKBTerm* t3, MRKBTerm* t4, double value) {
  if (!t0 || !t1 || !t2 || !t3 || !t4) return nullptr;
  return MRKCStatement::statementWithLabel(label, MRKCList::listWithTerms({t0, t1, t2, t3, t4}).get(), value);
}

int MRKFAtomToBoolean(const MRKBTerm* atom, bool* value) {
  if (!atom || !value) return EINVAL;
  if (atom->ttid() == kMRKTermNumber) {
    *value = static_cast<const MRKCNumber*>(atom)->boolean();
    return 0;
  }
  if (atom->ttid() != kMRKTermSymbol && atom->ttid() != kMRKTermString) return EINVAL;
  for (const char* word : {"true", "yes", "on"})
    if (atom->compareToChars(word) == 0) return *value = true, 0;
  for (const char* word : {"false", "no", "off"})
    if (atom->compareToChars(word) == 0) return *value = false, 0;
  return EINVAL;
}

std::string MRKFAtomToText(const MRKBTerm* atom) {
  if (!atom) return {};
  if (atom->ttid() == kMRKTermSymbol || atom->ttid() == kMRKTermString)
    return static_cast<const MRKBTextTerm*>(atom)->value();
  return atom->text();
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

namespace {

Ref<MRKBTerm> decodeString(const std::string& text, uint32_t flags) {
  if (flags & kMRKJSONStrings) return MRKCString::stringWithValue(text);
  return MRKCSymbol::symbolWithValue(text);
}

Ref<MRKBTerm> decodeNumber(const JSKCNumber& number) {
  switch (number.form()) {
    case JSKCNumber::Form::boolean:
      return MRKCNumber::numberWithBool(number.boolValue().value_or(false));
    case JSKCNumber::Form::unsignedInt:
      return MRKCNumber::numberWithUint(number.uintValue().value_or(0));
    case JSKCNumber::Form::signedInt: {
      int64_t value = number.sintValue().value_or(0);
      return value >= 0 ? MRKCNumber::numberWithUint(static_cast<uint64_t>(value)) : MRKCNumber::numberWithSint(value);
    }
    case JSKCNumber::Form::real:
      break;
  }
  return MRKCNumber::numberWithReal(number.realValue());
}

// JSON nests deeper than the reader lets terms nest only in files made to break it.
Ref<MRKBTerm> decodeJSON(const nlohmann::ordered_json& json, uint32_t flags, std::string* error, int depth) {
  if (depth > MRKCReader::kMaxDepth) {
    if (error) *error = "nested too deeply";
    return nullptr;
  }
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
        Ref<MRKBTerm> term = decodeJSON(value, flags, error, depth + 1);
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
        Ref<MRKBTerm> term = decodeJSON(value, flags, error, depth + 1);
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
      return decodeString(json.get_ref<const std::string&>(), flags);
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

}  // namespace

Ref<MRKBTerm> MRKFJSONDecodeTerm(const nlohmann::ordered_json& json, uint32_t flags, std::string* error) {
  return decodeJSON(json, flags, error, 0);
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

Ref<MRKBTerm> MRKFJSONDecodeTerm(const JSKBValue* json, uint32_t flags, std::string* error) {
  if (!json) return MRKCSymbol::symbolWithValue("null");
  switch (json->kind()) {
    case JSKBValue::Kind::frame: {
      const JSKCFrame* object = json->asFrame();
      if ((flags & kMRKJSONTerms) && object->count() == 1 && object->labelAtIndex(0) == "$term") {
        const JSKCString* text = object->fetchAtIndex(0) ? object->fetchAtIndex(0)->asString() : nullptr;
        if (!text) {
          if (error) *error = "\"$term\" takes a string";
          return nullptr;
        }
        return MRKCReader::reader()->readTermFromString(text->string(), error);
      }
      Ref<MRKCFrame> frame = MRKCFrame::frameWithCapacity(object->count());
      for (size_t i = 0; i < object->count(); ++i) {
        Ref<MRKBTerm> term = MRKFJSONDecodeTerm(object->fetchAtIndex(i).get(), flags, error);
        if (!term) {
          if (error) *error = "\"" + object->labelAtIndex(i) + "\": " + *error;
          return nullptr;
        }
        frame->store(term.get(), object->labelAtIndex(i));
      }
      return frame;
    }
    case JSKBValue::Kind::array: {
      const JSKCArray* array = json->asArray();
      Ref<MRKCList> list = MRKCList::listWithCapacity(array->count());
      for (size_t i = 0; i < array->count(); ++i) {
        Ref<MRKBTerm> term = MRKFJSONDecodeTerm(array->atIndex(i).get(), flags, error);
        if (!term) {
          if (error) *error = "[" + std::to_string(i) + "]: " + *error;
          return nullptr;
        }
        list->append(term.get());
      }
      return list;
    }
    case JSKBValue::Kind::number:
      return decodeNumber(*json->asNumber());
    case JSKBValue::Kind::string:
      return decodeString(json->asString()->string(), flags);
    case JSKBValue::Kind::null:
      break;
  }
  return MRKCSymbol::symbolWithValue("null");
}

Ref<MRKCFrame> MRKFJSONDecodeFrame(const JSKCFrame* json, uint32_t flags, std::string* error) {
  Ref<MRKBTerm> term = MRKFJSONDecodeTerm(json, flags, error);
  if (!json && error) *error = "not an object";
  return json && term ? Ref<MRKCFrame>(term->asFrame()) : nullptr;
}

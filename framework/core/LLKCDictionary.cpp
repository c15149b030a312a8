#include "framework/core/LLKCDictionary.h"

#include <cerrno>
#include <cmath>
#include <limits>
#include <new>

Ref<LLKCDictionary> LLKCDictionary::dictionary() { return adoptRef(new LLKCDictionary()); }

const LLKCDictionary::Value* LLKCDictionary::find(std::string_view key) const {
  for (const auto& [name, value] : entries_)
    if (name == key) return &value;
  return nullptr;
}

int LLKCDictionary::store(Value value, std::string_view key) {
  try {
    for (auto& [name, existing] : entries_)
      if (name == key) {
        existing = std::move(value);
        return 0;
      }
    entries_.emplace_back(std::string(key), std::move(value));
    return 0;
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}

int LLKCDictionary::storeObject(Ref<LLKBObject> object, std::string_view key) {
  if (!object) return EINVAL;
  return store(std::move(object), key);
}
int LLKCDictionary::storeBool(bool value, std::string_view key) { return store(value, key); }
int LLKCDictionary::storeUint(uint64_t value, std::string_view key) { return store(value, key); }
int LLKCDictionary::storeSint(int64_t value, std::string_view key) { return store(value, key); }
int LLKCDictionary::storeReal(double value, std::string_view key) { return store(value, key); }

Ref<LLKBObject> LLKCDictionary::objectForKey(std::string_view key) const {
  const Value* value = find(key);
  if (!value) return nullptr;
  if (const auto* object = std::get_if<Ref<LLKBObject>>(value)) return *object;
  return nullptr;
}

bool LLKCDictionary::boolForKey(std::string_view key, bool fallback) const {
  const Value* value = find(key);
  if (!value) return fallback;
  if (const auto* flag = std::get_if<bool>(value)) return *flag;
  if (const auto* u = std::get_if<uint64_t>(value)) return *u != 0;
  if (const auto* s = std::get_if<int64_t>(value)) return *s != 0;
  return fallback;
}

uint64_t LLKCDictionary::uintForKey(std::string_view key, uint64_t fallback) const {
  const Value* value = find(key);
  if (!value) return fallback;
  if (const auto* u = std::get_if<uint64_t>(value)) return *u;
  if (const auto* s = std::get_if<int64_t>(value)) return *s >= 0 ? static_cast<uint64_t>(*s) : fallback;
  if (const auto* flag = std::get_if<bool>(value)) return *flag ? 1 : 0;
  if (const auto* r = std::get_if<double>(value))
    if (*r >= 0 && *r < 18446744073709551616.0) return static_cast<uint64_t>(*r);
  return fallback;
}

int64_t LLKCDictionary::sintForKey(std::string_view key, int64_t fallback) const {
  const Value* value = find(key);
  if (!value) return fallback;
  if (const auto* s = std::get_if<int64_t>(value)) return *s;
  if (const auto* u = std::get_if<uint64_t>(value))
    return *u <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) ? static_cast<int64_t>(*u) : fallback;
  if (const auto* flag = std::get_if<bool>(value)) return *flag ? 1 : 0;
  if (const auto* r = std::get_if<double>(value))
    if (*r >= -9223372036854775808.0 && *r < 9223372036854775808.0) return static_cast<int64_t>(*r);
  return fallback;
}

double LLKCDictionary::realForKey(std::string_view key, double fallback) const {
  const Value* value = find(key);
  if (!value) return fallback;
  if (const auto* r = std::get_if<double>(value)) return *r;
  if (const auto* s = std::get_if<int64_t>(value)) return static_cast<double>(*s);
  if (const auto* u = std::get_if<uint64_t>(value)) return static_cast<double>(*u);
  if (const auto* flag = std::get_if<bool>(value)) return *flag ? 1.0 : 0.0;
  return fallback;
}

bool LLKCDictionary::remove(std::string_view key) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it)
    if (it->first == key) {
      entries_.erase(it);
      return true;
    }
  return false;
}

Ref<LLKCDictionary> LLKCDictionary::copy() const {
  Ref<LLKCDictionary> twin = dictionary();
  twin->entries_ = entries_;
  return twin;
}

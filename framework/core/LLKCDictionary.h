#pragma once
// A small keyed store of objects and plain values: the details of a message, the context of a
// worker. Keys are strings; storing under a key that exists replaces its value in place, so the
// store keeps the order in which keys first arrived. Not locked: fill it before handing it on.
#include "framework/core/LLKBObject.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

class LLKCDictionary : public LLKBObject {
public:
  using Value = std::variant<Ref<LLKBObject>, bool, uint64_t, int64_t, double>;

  [[nodiscard]] static Ref<LLKCDictionary> dictionary();

  // Each store answers 0 when stored, EINVAL for a null object.
  int storeObject(Ref<LLKBObject> object, std::string_view key);
  int storeBool(bool value, std::string_view key);
  int storeUint(uint64_t value, std::string_view key);
  int storeSint(int64_t value, std::string_view key);
  int storeReal(double value, std::string_view key);

  // The object under the key, or null when there is none or the value is not an object.
  Ref<LLKBObject> objectForKey(std::string_view key) const;
  template <typename T>
  Ref<T> objectForKeyAs(std::string_view key) const {
    return refCast<T>(objectForKey(key));
  }
  // Numbers convert between kinds when the value fits; anything else gives the default.
  bool boolForKey(std::string_view key, bool fallback = false) const;
  uint64_t uintForKey(std::string_view key, uint64_t fallback = 0) const;
  int64_t sintForKey(std::string_view key, int64_t fallback = 0) const;
  double realForKey(std::string_view key, double fallback = 0.0) const;

  bool contains(std::string_view key) const { return find(key) != nullptr; }
  bool remove(std::string_view key);
  size_t count() const { return entries_.size(); }
  void clear() { entries_.clear(); }

  // A new store holding the same values (objects are shared, not copied).
  Ref<LLKCDictionary> copy() const;

protected:
  LLKCDictionary() = default;

private:
  const Value* find(std::string_view key) const;
  int store(Value value, std::string_view key);

  std::vector<std::pair<std::string, Value>> entries_;
};

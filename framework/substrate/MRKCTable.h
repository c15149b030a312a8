#pragma once
// A table of objects under text keys with its monitor: the substrate's globals, constants and
// primitives. Every call locks the monitor itself; hold monitor() around several calls that
// must see the table unchanged.
#include <mutex>
#include <string>
#include <unordered_map>

#include "framework/core/LLKBObject.h"

class MRKCTable : public LLKBObject {
public:
  [[nodiscard]] static Ref<MRKCTable> table() { return adoptRef(new MRKCTable()); }

  Ref<LLKBObject> objectForKey(std::string_view key) const;
  Ref<LLKBObject> objectForKey(std::string_view key, Ref<LLKBObject> fallback) const;
  // The object as a T when it is one, else null.
  template <typename T>
  Ref<T> fetch(std::string_view key) const {
    return refCast<T>(objectForKey(key));
  }
  // 0 when stored, EINVAL for a null object or an empty key.
  int store(Ref<LLKBObject> object, std::string_view key);
  // True when the key was present.
  bool removeForKey(std::string_view key);
  size_t count() const;

  std::recursive_mutex& monitor() const { return monitor_; }

private:
  MRKCTable() = default;
  mutable std::recursive_mutex monitor_;
  std::unordered_map<std::string, Ref<LLKBObject>> objects_;
};

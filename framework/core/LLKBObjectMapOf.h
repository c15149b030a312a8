#pragma once
// Objects under keys: the store behind the kit's map (text keys) and table (number keys).
// Values are never null. Not locked: the owner guards a map that several threads share.
#include "framework/core/LLKBObject.h"

#include <cerrno>
#include <cstddef>
#include <functional>
#include <map>
#include <new>
#include <utility>
#include <vector>

template <typename Key, typename KeyView = Key>
class LLKBObjectMapOf : public LLKBObject {
public:
  // 0 when stored (replacing what was there), EINVAL for a null object, ENOMEM without memory.
  int store(Ref<LLKBObject> object, KeyView key) {
    if (!object) return EINVAL;
    try {
      auto found = entries_.find(key);
      if (found != entries_.end()) found->second = std::move(object);
      else entries_.emplace(Key(key), std::move(object));
      return 0;
    } catch (const std::bad_alloc&) {
      return ENOMEM;
    }
  }
  // Null when nothing is stored under the key.
  Ref<LLKBObject> fetchForKey(KeyView key) const {
    auto found = entries_.find(key);
    return found == entries_.end() ? nullptr : found->second;
  }
  template <typename T>
  Ref<T> fetchForKeyAs(KeyView key) const {
    return refCast<T>(fetchForKey(key));
  }
  bool contains(KeyView key) const { return entries_.find(key) != entries_.end(); }
  // The removed object, or null.
  Ref<LLKBObject> removeForKey(KeyView key) {
    auto found = entries_.find(key);
    if (found == entries_.end()) return nullptr;
    Ref<LLKBObject> removed = std::move(found->second);
    entries_.erase(found);
    return removed;
  }
  size_t count() const { return entries_.size(); }
  void clear() { entries_.clear(); }
  // Every entry in key order, safe to keep while the map changes.
  std::vector<std::pair<Key, Ref<LLKBObject>>> snapshot() const { return {entries_.begin(), entries_.end()}; }
  // Visits every entry in key order without copying: visit(key, object) must not change the
  // map (take a snapshot for visits that call out to code that might).
  template <typename Visit>
  void forEach(Visit&& visit) const {
    for (const auto& [key, object] : entries_) visit(key, object.get());
  }
  // Removes, in key order, every entry for which doomed(key, object) holds; doomed must not
  // change the map. The number removed.
  template <typename Doomed>
  size_t removeIf(Doomed&& doomed) {
    return std::erase_if(entries_, [&](const auto& entry) { return doomed(entry.first, entry.second.get()); });
  }

protected:
  LLKBObjectMapOf() = default;

private:
  std::map<Key, Ref<LLKBObject>, std::less<>> entries_;
};

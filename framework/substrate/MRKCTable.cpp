#include "framework/substrate/MRKCTable.h"

#include <cerrno>

Ref<LLKBObject> MRKCTable::objectForKey(std::string_view key) const {
  std::lock_guard lock(monitor_);
  auto found = objects_.find(std::string(key));
  return found == objects_.end() ? nullptr : found->second;
}

Ref<LLKBObject> MRKCTable::objectForKey(std::string_view key, Ref<LLKBObject> fallback) const {
  Ref<LLKBObject> object = objectForKey(key);
  return object ? object : fallback;
}

int MRKCTable::store(Ref<LLKBObject> object, std::string_view key) {
  if (!object || key.empty()) return EINVAL;
  std::lock_guard lock(monitor_);
  objects_[std::string(key)] = std::move(object);
  return 0;
}

bool MRKCTable::removeForKey(std::string_view key) {
  Ref<LLKBObject> removed;  // released after the lock
  std::lock_guard lock(monitor_);
  auto found = objects_.find(std::string(key));
  if (found == objects_.end()) return false;
  removed = std::move(found->second);
  objects_.erase(found);
  return true;
}

size_t MRKCTable::count() const {
  std::lock_guard lock(monitor_);
  return objects_.size();
}

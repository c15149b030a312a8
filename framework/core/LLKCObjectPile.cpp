#include "framework/core/LLKCObjectPile.h"

#include <algorithm>
#include <cerrno>

int LLKCObjectPile::append(Ref<LLKBObject> object) {
  if (!object) return EINVAL;
  if (contains(object.get())) return EEXIST;
  try {
    order_.reserve(order_.size() + 1);
    members_.insert(object.get());
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
  order_.push_back(std::move(object));
  return 0;
}

bool LLKCObjectPile::remove(const LLKBObject* object) {
  if (!members_.erase(object)) return false;
  order_.erase(
      std::find_if(order_.begin(), order_.end(), [&](const Ref<LLKBObject>& entry) { return entry.get() == object; }));
  return true;
}

void LLKCObjectPile::clear() {
  members_.clear();
  order_.clear();
}

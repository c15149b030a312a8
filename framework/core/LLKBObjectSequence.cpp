#include "framework/core/LLKBObjectSequence.h"

#include <algorithm>
#include <cerrno>

Ref<LLKBObject> LLKBObjectSequence::fetchAtIndex(size_t index) const {
  return index < entries_.size() ? entries_[index] : nullptr;
}

int LLKBObjectSequence::insert(Ref<LLKBObject> object, size_t index) {
  if (!object || index > entries_.size()) return EINVAL;
  try {
    entries_.insert(entries_.begin() + static_cast<long>(index), std::move(object));
    return 0;
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}

int LLKBObjectSequence::append(Ref<LLKBObject> object) { return insert(std::move(object), entries_.size()); }

int LLKBObjectSequence::prepend(Ref<LLKBObject> object) { return insert(std::move(object), 0); }

int LLKBObjectSequence::insertSorted(Ref<LLKBObject> object, LLKTObjectOrdering ordering, void* context) {
  if (!object || !ordering) return EINVAL;
  auto at = std::upper_bound(
      entries_.begin(), entries_.end(), object,
      [&](const Ref<LLKBObject>& a, const Ref<LLKBObject>& b) { return ordering(a.get(), b.get(), context) < 0; });
  return insert(std::move(object), static_cast<size_t>(at - entries_.begin()));
}

void LLKBObjectSequence::sort(LLKTObjectOrdering ordering, void* context) {
  if (!ordering) return;
  std::stable_sort(entries_.begin(), entries_.end(), [&](const Ref<LLKBObject>& a, const Ref<LLKBObject>& b) {
    return ordering(a.get(), b.get(), context) < 0;
  });
}

Ref<LLKBObject> LLKBObjectSequence::removeAtIndex(size_t index) {
  if (index >= entries_.size()) return nullptr;
  Ref<LLKBObject> removed = std::move(entries_[index]);
  entries_.erase(entries_.begin() + static_cast<long>(index));
  return removed;
}

bool LLKBObjectSequence::remove(const LLKBObject* object) {
  long index = indexOf(object);
  if (index < 0) return false;
  removeAtIndex(static_cast<size_t>(index));
  return true;
}

long LLKBObjectSequence::indexOf(const LLKBObject* object) const {
  if (!object) return -1;
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].get() == object) return static_cast<long>(i);
  return -1;
}

Ref<LLKBObject> LLKBObjectSequence::iterateUntilMatch(LLKTObjectMatch match, void* context) const {
  if (!match) return nullptr;
  for (const auto& entry : snapshot())
    if (match(entry.get(), context)) return entry;
  return nullptr;
}

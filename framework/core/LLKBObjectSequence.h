#pragma once
// The ordered collection of objects behind the kit's lists, arrays, deques and vectors: the
// twins below add only their factories. Entries are never null. Not locked: the owner guards
// a sequence that several threads share. Iterate over snapshot() when the loop may change it.
#include "framework/core/LLKBObject.h"

#include <cstddef>
#include <deque>
#include <initializer_list>
#include <vector>

// Orders two objects: below 0 when a comes first, 0 when equal, above 0 when b comes first.
using LLKTObjectOrdering = int (*)(LLKBObject* a, LLKBObject* b, void* context);
// True for the object looked for.
using LLKTObjectMatch = bool (*)(LLKBObject* object, void* context);

class LLKBObjectSequence : public LLKBObject {
public:
  size_t count() const { return entries_.size(); }
  bool isEmpty() const { return entries_.empty(); }
  // Null when the index is out of range.
  Ref<LLKBObject> fetchAtIndex(size_t index) const;
  template <typename T>
  Ref<T> fetchAtIndexAs(size_t index) const {
    return refCast<T>(fetchAtIndex(index));
  }
  Ref<LLKBObject> head() const { return entries_.empty() ? nullptr : entries_.front(); }
  Ref<LLKBObject> tail() const { return entries_.empty() ? nullptr : entries_.back(); }

  // Stores answer 0 when stored, EINVAL for a null object or an index past the end, ENOMEM without memory.
  int append(Ref<LLKBObject> object);
  int prepend(Ref<LLKBObject> object);
  int insert(Ref<LLKBObject> object, size_t index);
  // Keeps a sorted sequence sorted; an equal entry stays before the new one.
  int insertSorted(Ref<LLKBObject> object, LLKTObjectOrdering ordering, void* context);
  // Stable: equal entries keep their order.
  void sort(LLKTObjectOrdering ordering, void* context);

  // Each removal answers the removed object, or null when there was none.
  Ref<LLKBObject> removeAtIndex(size_t index);
  Ref<LLKBObject> removeHead() { return removeAtIndex(0); }
  Ref<LLKBObject> removeTail() { return entries_.empty() ? nullptr : removeAtIndex(entries_.size() - 1); }
  // The first entry that is this very object.
  bool remove(const LLKBObject* object);
  void clear() { entries_.clear(); }

  // The index of the object itself, or -1.
  long indexOf(const LLKBObject* object) const;
  bool contains(const LLKBObject* object) const { return indexOf(object) >= 0; }
  // The first entry the function matches, or null.
  Ref<LLKBObject> iterateUntilMatch(LLKTObjectMatch match, void* context) const;

  std::vector<Ref<LLKBObject>> snapshot() const { return {entries_.begin(), entries_.end()}; }
  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }

protected:
  LLKBObjectSequence() = default;
  void shrinkToFit() { entries_.shrink_to_fit(); }

  // The factories of the twins: a new T holding the objects (nulls refused).
  template <typename T>
  [[nodiscard]] static Ref<T> make(std::initializer_list<Ref<LLKBObject>> objects = {}) {
    Ref<T> sequence = adoptRef(new T());
    for (const auto& object : objects)
      if (sequence->append(object) != 0) return nullptr;
    return sequence;
  }

private:
  std::deque<Ref<LLKBObject>> entries_;
};

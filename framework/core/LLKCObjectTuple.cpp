#include "framework/core/LLKCObjectTuple.h"

#include <cerrno>

Ref<LLKCObjectTuple> LLKCObjectTuple::tupleWithCapacity(size_t capacity) {
  Ref<LLKCObjectTuple> tuple = adoptRef(new LLKCObjectTuple());
  try {
    tuple->slots_.resize(capacity);
  } catch (const std::exception&) {
    return nullptr;
  }
  return tuple;
}

Ref<LLKCObjectTuple> LLKCObjectTuple::tupleWithObjects(std::initializer_list<Ref<LLKBObject>> objects) {
  Ref<LLKCObjectTuple> tuple = tupleWithCapacity(objects.size());
  if (!tuple) return nullptr;
  size_t index = 0;
  for (const auto& object : objects) tuple->slots_[index++] = object;
  return tuple;
}

int LLKCObjectTuple::store(Ref<LLKBObject> object, size_t index) {
  if (index >= slots_.size()) return EINVAL;
  slots_[index] = std::move(object);
  return 0;
}

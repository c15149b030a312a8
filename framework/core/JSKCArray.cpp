#include "framework/core/JSKCArray.h"

#include <cerrno>

int JSKCArray::append(Ref<JSKBValue> value) {
  if (!value || value.get() == this) return EINVAL;
  try {
    values_.push_back(std::move(value));
    return 0;
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}

#include "framework/core/JSKCArray.h"

int JSKCArray::append(Ref<JSKBValue> value) {
  if (!value || value.get() == this) return 22;
  try {
    values_.push_back(std::move(value));
    return 0;
  } catch (const std::bad_alloc&) {
    return 12;
  }
}

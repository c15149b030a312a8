#pragma once
// A JSON array.
#include "framework/core/JSKBValue.h"

#include <cstddef>
#include <vector>

class JSKCArray : public JSKBValue {
public:
  [[nodiscard]] static Ref<JSKCArray> array() { return adoptRef(new JSKCArray()); }
  // The capacity is a hint; the array grows as needed.
  [[nodiscard]] static Ref<JSKCArray> arrayWithCapacity(size_t) { return array(); }

  Kind kind() const override { return Kind::array; }

  // 0 when appended, EINVAL for a null value or the array itself, ENOMEM without memory.
  int append(Ref<JSKBValue> value);
  size_t count() const { return values_.size(); }
  // Null past the end.
  Ref<JSKBValue> atIndex(size_t index) const { return index < values_.size() ? values_[index] : nullptr; }
  void clear() { values_.clear(); }

private:
  JSKCArray() = default;
  std::vector<Ref<JSKBValue>> values_;
};

#pragma once
// The most recent values of an unsigned quantity, up to a fixed capacity (a ring).
#include "framework/core/LLKBObject.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class NRKCUintSeries : public LLKBObject {
public:
  // Null for a capacity of 0 or when the room cannot be had.
  [[nodiscard]] static Ref<NRKCUintSeries> seriesWithCapacity(size_t capacity);

  // Adds a value; when full the oldest value goes.
  void add(uint64_t value);
  // The largest value held, 0 when empty.
  uint64_t max() const;
  size_t count() const { return count_; }
  size_t capacity() const { return values_.size(); }

private:
  NRKCUintSeries() = default;
  std::vector<uint64_t> values_;
  size_t next_ = 0;
  size_t count_ = 0;
};

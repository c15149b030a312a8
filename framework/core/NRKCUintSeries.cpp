#include "framework/core/NRKCUintSeries.h"

#include <algorithm>

Ref<NRKCUintSeries> NRKCUintSeries::seriesWithCapacity(size_t capacity) {
  if (capacity == 0) return nullptr;
  Ref<NRKCUintSeries> series = adoptRef(new NRKCUintSeries());
  try {
    series->values_.resize(capacity);
  } catch (const std::exception&) {
    return nullptr;
  }
  return series;
}

void NRKCUintSeries::add(uint64_t value) {
  values_[next_] = value;
  next_ = (next_ + 1) % values_.size();
  count_ = std::min(count_ + 1, values_.size());
}

uint64_t NRKCUintSeries::max() const {
  // The slots not yet written are zero, so they never raise the maximum.
  return count_ == 0 ? 0 : *std::max_element(values_.begin(), values_.end());
}

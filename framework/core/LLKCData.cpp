#include "framework/core/LLKCData.h"

#include <cstdlib>
#include <cstring>

LLKCData::~LLKCData() {
  if (owned_) std::free(bytes_);
}

Ref<LLKCData> LLKCData::dataWithLength(size_t length) {
  void* block = std::calloc(length ? length : 1, 1);
  if (!block) return nullptr;
  Ref<LLKCData> data = dataWithBytesNoCopy(block, length, true);
  if (!data) std::free(block);
  return data;
}

Ref<LLKCData> LLKCData::dataWithBytes(const void* bytes, size_t length) {
  if (!bytes && length) return nullptr;
  Ref<LLKCData> data = dataWithLength(length);
  if (data && length) std::memcpy(data->bytes(), bytes, length);
  return data;
}

Ref<LLKCData> LLKCData::dataWithBytesNoCopy(void* bytes, size_t length, bool freeWhenDone) {
  if (!bytes && length) return nullptr;
  return adoptRef(new LLKCData(static_cast<uint8_t*>(bytes), length, freeWhenDone));
}

#include "framework/core/LLKFUniqueString.h"

#include "framework/core/LLKFRandom.h"

#include <string>

Ref<LLKCString> LLKFUniqueStringWithLength(size_t length) {
  static constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  constexpr uint64_t kSize = sizeof kAlphabet - 1;
  if (length == 0) return nullptr;
  std::string text(length, '0');
  for (char& c : text) {
    uint64_t value;
    do value = LLKFRandomFreshBits();
    while (value >= UINT64_MAX - (UINT64_MAX % kSize));
    c = kAlphabet[value % kSize];
  }
  return LLKCString::stringWithString(std::move(text));
}

#include "framework/core/LLKFFormat.h"

#include <cstdio>

std::optional<std::string> LLKFFormatV(const char* format, va_list args) {
  if (!format) return std::nullopt;
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (length < 0) return std::nullopt;
  std::string text(static_cast<size_t>(length), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, args);
  return text;
}

std::string LLKFFormatLineV(const char* format, va_list args) {
  std::string line = LLKFFormatV(format, args).value_or(format ? format : "");
  while (!line.empty() && line.back() == '\n') line.pop_back();
  return line;
}

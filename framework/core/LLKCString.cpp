#include "framework/core/LLKCString.h"

#include "framework/core/LLKFFormat.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int compareViews(std::string_view a, std::string_view b, bool caseSensitive) {
  size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    auto ca = static_cast<unsigned char>(caseSensitive ? a[i] : foldAscii(a[i]));
    auto cb = static_cast<unsigned char>(caseSensitive ? b[i] : foldAscii(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

Ref<LLKCString> LLKCString::stringWithString(std::string text) { return adoptRef(new LLKCString(std::move(text))); }

Ref<LLKCString> LLKCString::stringWithChars(const char* chars) {
  return stringWithString(chars ? std::string(chars) : std::string());
}

Ref<LLKCString> LLKCString::stringWithFormat(const char* format, ...) {
  if (!format) return nullptr;
  va_list args;
  va_start(args, format);
  std::optional<std::string> text = LLKFFormatV(format, args);
  Ref<LLKCString> result = text ? stringWithString(std::move(*text)) : nullptr;
  va_end(args);
  return result;
}

Ref<LLKCString> LLKCString::stringWithCharsNoCopy(char* chars, bool freeWhenDone) {
  Ref<LLKCString> result = stringWithChars(chars);
  if (freeWhenDone) std::free(chars);
  return result;
}

Ref<LLKCString> LLKCString::stringWithConcat(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text += part;
  return stringWithString(std::move(text));
}

int LLKCString::compareToString(const LLKCString& other, bool caseSensitive) const {
  return compareViews(text_, other.text_, caseSensitive);
}

int LLKCString::compareToChars(const char* chars, bool caseSensitive) const {
  return compareViews(text_, chars ? std::string_view(chars) : std::string_view(), caseSensitive);
}

Ref<LLKCString> LLKCString::ellipsizedAt(size_t n) const {
  size_t characters = 0;
  size_t cut = std::string::npos;  // byte offset after n - 1 characters
  for (size_t i = 0; i < text_.size(); ++i) {
    if (isContinuationByte(text_[i])) continue;
    if (characters + 1 == n) cut = i;
    ++characters;
  }
  if (characters <= n) return stringWithString(text_);
  if (n == 0) return stringWithString(std::string());
  return stringWithString(text_.substr(0, cut) + "\u2026");
}

#pragma once
// An immutable UTF-8 string that travels as an object (payloads, list entries, labels).
// Everywhere else the code uses std::string.
#include "framework/core/LLKBObject.h"

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

class LLKCString : public LLKBObject {
public:
  // A null pointer gives an empty string.
  [[nodiscard]] static Ref<LLKCString> stringWithChars(const char* chars);
  [[nodiscard]] static Ref<LLKCString> stringWithString(std::string text);
  [[nodiscard]] static Ref<LLKCString> stringWithFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
  // Takes over a block from malloc; it is freed here when freeWhenDone is set.
  [[nodiscard]] static Ref<LLKCString> stringWithCharsNoCopy(char* chars, bool freeWhenDone = true);
  // The parts one after another.
  [[nodiscard]] static Ref<LLKCString> stringWithConcat(std::initializer_list<std::string_view> parts);

  const char* chars() const { return text_.c_str(); }
  const std::string& string() const { return text_; }
  std::string_view view() const { return text_; }
  // In bytes.
  size_t length() const { return text_.size(); }

  // Below 0, 0 when equal, above 0; byte order, or ASCII letters folded when not case-sensitive.
  int compareToString(const LLKCString& other, bool caseSensitive = true) const;
  int compareToChars(const char* chars, bool caseSensitive = true) const;

  // At most n characters (code points): longer text keeps n - 1 of them and ends with "…".
  Ref<LLKCString> ellipsizedAt(size_t n) const;

protected:
  explicit LLKCString(std::string text) : text_(std::move(text)) {}

private:
  std::string text_;
};

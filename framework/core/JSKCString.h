#pragma once
// A JSON string (UTF-8).
#include "framework/core/JSKBValue.h"

#include <string>

class JSKCString : public JSKBValue {
public:
  [[nodiscard]] static Ref<JSKCString> stringWithString(std::string text) {
    return adoptRef(new JSKCString(std::move(text)));
  }
  Kind kind() const override { return Kind::string; }

  const std::string& string() const { return text_; }
  const char* chars() const { return text_.c_str(); }

private:
  explicit JSKCString(std::string text) : text_(std::move(text)) {}
  std::string text_;
};

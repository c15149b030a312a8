#pragma once
// A string that carries an object beside its text: a list entry shown by its text that
// remembers what it stands for.
#include "framework/core/LLKCString.h"

class LLKCAttributedString : public LLKCString {
public:
  [[nodiscard]] static Ref<LLKCAttributedString> stringWithString(std::string text, Ref<LLKBObject> attribute) {
    return adoptRef(new LLKCAttributedString(std::move(text), std::move(attribute)));
  }

  const Ref<LLKBObject>& attribute() const { return attribute_; }

protected:
  LLKCAttributedString(std::string text, Ref<LLKBObject> attribute)
      : LLKCString(std::move(text)), attribute_(std::move(attribute)) {}

private:
  Ref<LLKBObject> attribute_;
};

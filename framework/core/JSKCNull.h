#pragma once
// The JSON null, kept so a file read and written again loses nothing.
#include "framework/core/JSKBValue.h"

class JSKCNull : public JSKBValue {
public:
  [[nodiscard]] static Ref<JSKCNull> null() { return adoptRef(new JSKCNull()); }
  Kind kind() const override { return Kind::null; }

private:
  JSKCNull() = default;
};

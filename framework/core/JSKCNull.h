#pragma once
// The JSON null, kept so a file read and written again loses nothing.
#include "framework/core/JSKBValue.h"

#include <new>

class JSKCNull : public JSKBValue {
public:
  [[nodiscard]] static Ref<JSKCNull> null() { return adoptRef(new (std::nothrow) JSKCNull()); }
  Kind kind() const override { return Kind::null; }

private:
  JSKCNull() = default;
};

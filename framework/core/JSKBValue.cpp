#include "framework/core/JSKBValue.h"

#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCFrame.h"
#include "framework/core/JSKCNumber.h"
#include "framework/core/JSKCString.h"

JSKCFrame* JSKBValue::asFrame() { return kind() == Kind::frame ? static_cast<JSKCFrame*>(this) : nullptr; }
JSKCArray* JSKBValue::asArray() { return kind() == Kind::array ? static_cast<JSKCArray*>(this) : nullptr; }
JSKCNumber* JSKBValue::asNumber() { return kind() == Kind::number ? static_cast<JSKCNumber*>(this) : nullptr; }
JSKCString* JSKBValue::asString() { return kind() == Kind::string ? static_cast<JSKCString*>(this) : nullptr; }

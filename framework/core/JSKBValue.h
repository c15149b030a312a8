#pragma once
// A JSON value held as an object: frames (objects, members in order), arrays, numbers, strings
// and null. Values are shared by reference, so a frame fetched from another frame and changed
// is changed in place. Not locked: the owner guards a tree that several threads share.
#include "framework/core/LLKBObject.h"

class JSKCFrame;
class JSKCArray;
class JSKCNumber;
class JSKCString;

class JSKBValue : public LLKBObject {
public:
  enum class Kind { null, number, string, array, frame };

  virtual Kind kind() const = 0;

  // This value as the kind asked for, or null when it is another kind.
  JSKCFrame* asFrame();
  JSKCArray* asArray();
  JSKCNumber* asNumber();
  JSKCString* asString();
  const JSKCFrame* asFrame() const { return const_cast<JSKBValue*>(this)->asFrame(); }
  const JSKCArray* asArray() const { return const_cast<JSKBValue*>(this)->asArray(); }
  const JSKCNumber* asNumber() const { return const_cast<JSKBValue*>(this)->asNumber(); }
  const JSKCString* asString() const { return const_cast<JSKBValue*>(this)->asString(); }

protected:
  JSKBValue() = default;
};

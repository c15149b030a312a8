#pragma once
// An object that carries a plain pointer, so a synchronous message can point at the caller's
// variable. It owns nothing: the pointee must outlive the message's handling.
#include "framework/core/LLKBObject.h"

class LLKCPointer : public LLKBObject {
public:
  [[nodiscard]] static Ref<LLKCPointer> pointerWithAddress(void* address) { return adoptRef(new LLKCPointer(address)); }
  void* address() const { return address_; }

protected:
  explicit LLKCPointer(void* address) : address_(address) {}

private:
  void* address_;
};

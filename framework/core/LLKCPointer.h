#pragma once
// An object that carries a plain pointer, so a synchronous message can point at the caller's
// variable. It owns nothing: the pointee must outlive the message's handling.
#include "framework/core/LLKBObject.h"

#include <new>

class LLKCPointer : public LLKBObject {
public:
  [[nodiscard]] static Ref<LLKCPointer> pointerWithAddress(void* address) {
    return adoptRef(new (std::nothrow) LLKCPointer(address));
  }
  void* address() const { return address_; }

protected:
  explicit LLKCPointer(void* address) : address_(address) {}

private:
  void* address_;
};

#include "framework/core/LLKCMessage.h"

#include <new>

LLKCMessage::LLKCMessage(LLKTMessageCode code, Ref<LLKBObject> payload, Ref<LLKCDictionary> details)
    : code_(code), payload_(std::move(payload)), details_(std::move(details)) {}

Ref<LLKCMessage> LLKCMessage::messageWithCode(LLKTMessageCode code) { return messageWithCode(code, nullptr); }

Ref<LLKCMessage> LLKCMessage::messageWithCode(LLKTMessageCode code, Ref<LLKBObject> payload) {
  Ref<LLKCDictionary> details = LLKCDictionary::dictionary();
  if (!details) return nullptr;
  return adoptRef(new (std::nothrow) LLKCMessage(code, std::move(payload), std::move(details)));
}

Ref<LLKCMessage> LLKCMessage::copy() const {
  Ref<LLKCDictionary> details = details_->copy();
  if (!details) return nullptr;
  return adoptRef(new (std::nothrow) LLKCMessage(code_, payload_, std::move(details)));
}

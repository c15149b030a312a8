#include "framework/core/LLKCMessage.h"

LLKCMessage::LLKCMessage(LLKTMessageCode code, Ref<LLKBObject> payload, Ref<LLKCDictionary> details)
    : code_(code), payload_(std::move(payload)), details_(std::move(details)) {}

Ref<LLKCMessage> LLKCMessage::messageWithCode(LLKTMessageCode code) { return messageWithCode(code, nullptr); }

Ref<LLKCMessage> LLKCMessage::messageWithCode(LLKTMessageCode code, Ref<LLKBObject> payload) {
  return adoptRef(new LLKCMessage(code, std::move(payload), LLKCDictionary::dictionary()));
}

Ref<LLKCMessage> LLKCMessage::copy() const { return adoptRef(new LLKCMessage(code_, payload_, details_->copy())); }

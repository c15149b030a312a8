#pragma once
// The kit's event object: a code, an optional payload object and a keyed store of details.
//
// The code is three words. Written as one 64-bit number it is (tag << 32) | uid; ctx travels
// beside it. A message is built by one thread and then handed on; it is not locked.
#include "framework/core/LLKBObject.h"
#include "framework/core/LLKCDictionary.h"

#include <cstdint>

struct LLKTMessageCode {
  uint32_t uid = 0;
  uint32_t tag = 0;
  uint32_t ctx = 0;

  static constexpr LLKTMessageCode fromValue(uint64_t value, uint32_t ctx = 0) {
    return {static_cast<uint32_t>(value & 0xFFFFFFFFu), static_cast<uint32_t>(value >> 32), ctx};
  }
  // (tag << 32) | uid; ctx is not part of it.
  constexpr uint64_t value() const { return (static_cast<uint64_t>(tag) << 32) | uid; }
  friend constexpr bool operator==(const LLKTMessageCode&, const LLKTMessageCode&) = default;
};

class LLKCMessage : public LLKBObject {
public:
  [[nodiscard]] static Ref<LLKCMessage> messageWithCode(LLKTMessageCode code);
  [[nodiscard]] static Ref<LLKCMessage> messageWithCode(uint64_t code) {
    return messageWithCode(LLKTMessageCode::fromValue(code));
  }
  [[nodiscard]] static Ref<LLKCMessage> messageWithCode(LLKTMessageCode code, Ref<LLKBObject> payload);
  [[nodiscard]] static Ref<LLKCMessage> messageWithCode(uint64_t code, Ref<LLKBObject> payload) {
    return messageWithCode(LLKTMessageCode::fromValue(code), std::move(payload));
  }

  const LLKTMessageCode& code() const { return code_; }
  uint64_t codeValue() const { return code_.value(); }
  uint32_t uid() const { return code_.uid; }
  uint32_t tag() const { return code_.tag; }
  uint32_t ctx() const { return code_.ctx; }
  // Whether the code names this uid and tag; ctx is not compared.
  bool is(uint32_t uid, uint32_t tag) const { return code_.uid == uid && code_.tag == tag; }
  bool is(const LLKTMessageCode& code) const { return is(code.uid, code.tag); }
  void setCode(LLKTMessageCode code) { code_ = code; }
  void setCtx(uint32_t ctx) { code_.ctx = ctx; }

  const Ref<LLKBObject>& payload() const { return payload_; }
  template <typename T>
  Ref<T> payloadAs() const {
    return refCast<T>(payload_);
  }
  void setPayload(Ref<LLKBObject> payload) { payload_ = std::move(payload); }

  LLKCDictionary& details() { return *details_; }
  const LLKCDictionary& details() const { return *details_; }

  // A new message with the same code and payload (shared) and its own copy of the details.
  Ref<LLKCMessage> copy() const;

protected:
  LLKCMessage(LLKTMessageCode code, Ref<LLKBObject> payload, Ref<LLKCDictionary> details);

private:
  LLKTMessageCode code_;
  Ref<LLKBObject> payload_;
  Ref<LLKCDictionary> details_;
};

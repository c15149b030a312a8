#include "framework/core/LLKCMessage.h"
#include "framework/core/LLKCString.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(MessageCode, SixtyFourBitFormPutsTheTagHighAndTheUidLow) {
  Ref<LLKCMessage> message = LLKCMessage::messageWithCode(0x20000A000ull);
  ASSERT_TRUE(message);
  EXPECT_EQ(message->uid(), 0xA000u);
  EXPECT_EQ(message->tag(), 2u);
  EXPECT_EQ(message->ctx(), 0u);
  EXPECT_EQ(message->codeValue(), 0x20000A000ull);

  Ref<LLKCMessage> full = LLKCMessage::messageWithCode(LLKTMessageCode{0xFFFFFFFFu, 0xC000u, 7});
  EXPECT_EQ(full->codeValue(), 0xC000FFFFFFFFull);
  EXPECT_EQ(full->ctx(), 7u);
}

TEST(Message, PayloadIsSharedAndTypedAccessRefusesOtherKinds) {
  Ref<LLKCString> text = LLKCString::stringWithChars("chunk");
  Ref<LLKCMessage> message = LLKCMessage::messageWithCode(0xC00000000000ull, text);
  EXPECT_EQ(message->payload().get(), text.get());
  EXPECT_EQ(message->payloadAs<LLKCString>().get(), text.get());
  EXPECT_FALSE(message->payloadAs<LLKCMessage>());
  EXPECT_FALSE(LLKCMessage::messageWithCode(1)->payload());
}

TEST(MessageDetails, TypedValuesReadBackAndConvertOnlyWhenTheyFit) {
  Ref<LLKCMessage> message = LLKCMessage::messageWithCode(1);
  LLKCDictionary& details = message->details();
  EXPECT_EQ(details.storeBool(true, "checked"), 0);
  EXPECT_EQ(details.storeUint(42, "selected"), 0);
  EXPECT_EQ(details.storeSint(-3, "delta"), 0);
  EXPECT_EQ(details.storeReal(0.25, "value"), 0);
  EXPECT_EQ(details.storeObject(LLKCString::stringWithChars("x"), "sender"), 0);
  EXPECT_EQ(details.storeObject(nullptr, "nothing"), 22);

  EXPECT_TRUE(details.boolForKey("checked"));
  EXPECT_EQ(details.uintForKey("selected"), 42u);
  EXPECT_EQ(details.sintForKey("delta"), -3);
  EXPECT_DOUBLE_EQ(details.realForKey("value"), 0.25);
  EXPECT_TRUE(details.objectForKeyAs<LLKCString>("sender"));

  // A negative number is no unsigned value, a number is no object, a missing key is the default.
  EXPECT_EQ(details.uintForKey("delta", 9), 9u);
  EXPECT_EQ(details.sintForKey("selected"), 42);
  EXPECT_DOUBLE_EQ(details.realForKey("selected"), 42.0);
  EXPECT_FALSE(details.objectForKey("selected"));
  EXPECT_EQ(details.sintForKey("missing", 5), 5);
  EXPECT_FALSE(details.objectForKey("nothing"));
}

TEST(MessageDetails, StoringAKeyAgainReplacesItInPlace) {
  Ref<LLKCDictionary> details = LLKCDictionary::dictionary();
  details->storeUint(1, "a");
  details->storeUint(2, "b");
  details->storeReal(3.5, "a");
  EXPECT_EQ(details->count(), 2u);
  EXPECT_DOUBLE_EQ(details->realForKey("a"), 3.5);
  EXPECT_TRUE(details->remove("a"));
  EXPECT_FALSE(details->remove("a"));
  EXPECT_EQ(details->count(), 1u);
}

TEST(Message, CopyKeepsCodeAndPayloadButOwnsItsDetails) {
  Ref<LLKCString> text = LLKCString::stringWithChars("p");
  Ref<LLKCMessage> original = LLKCMessage::messageWithCode(LLKTMessageCode{1, 2, 3}, text);
  original->details().storeUint(7, "kept");
  Ref<LLKCMessage> copy = original->copy();
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->code(), original->code());
  EXPECT_EQ(copy->payload().get(), text.get());
  EXPECT_EQ(copy->details().uintForKey("kept"), 7u);
  copy->details().storeBool(true, "checked");
  EXPECT_FALSE(original->details().contains("checked"));
}

}  // namespace

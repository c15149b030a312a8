// The text form: every kind prints and reads back to an equal term; bad text gives a message.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/substrate/MRKCBinary.h"
#include "framework/substrate/MRKCData.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCQuirk.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCVariable.h"

namespace {

Ref<MRKBTerm> read(std::string_view text, std::string* error = nullptr) {
  return MRKCReader::reader()->readTermFromString(text, error);
}

// Text that is already in printed form reads back and prints the same.
TEST(Reader, CanonicalTextRoundTrips) {
  const char* cases[] = {
      "0",
      "18446744073709551615",
      "+0",
      "-9223372036854775808",
      "+42",
      "1.5",
      "-0.25",
      "1e+300",
      "5.0",
      "#inf",
      "-#inf",
      "true",
      "false",
      "a",
      "ctm.tick",
      "is.number",
      "'true'",
      "'Hello world'",
      "'it\\'s'",
      "''",
      "\"\"",
      "\"say \\\"hi\\\"\\n\\ttab\\\\\"",
      "\"\\u0001\\u007f\"",
      "\"caf\xc3\xa9\"",
      "#x\"\"",
      "#x\"00ff10\"",
      "#d5\"0100feff\"",
      "#d10\"0000803f\"",
      "[]",
      "[1, [2, [3]], {}]",
      "{\"offset\": 0, \"inputs\": [a, \"b\"]}",
      "{\"\": x}",
      "f()",
      "g(X)",
      "reply(q17)",
      "'two words'(x, Y)",
      "?peek(\"spix.size\", X)",
      "?<96>init(init)",
      "X",
      "_",
      "_Name",
      "_:[is.number]",
      "Y:[is.symbol, is.atom]",
      "<ux [peek(\"hi\")] 1.0>",
      "<'a b' [] 0.0>",
      "query(color(_:[is.symbol]), [1, +2, 3.5])",
      "a^b",
      "a^b^c",
      "(a^b)^c",
      "f(x)^[1, 2]^{\"k\": X}",
      "[a^1, \"s\"^-2.5]",
      "X^_",
  };
  for (const char* text : cases) {
    std::string error;
    Ref<MRKBTerm> term = read(text, &error);
    ASSERT_TRUE(term) << text << ": " << error;
    EXPECT_EQ(term->text(), text);
    Ref<MRKBTerm> again = read(term->text());
    ASSERT_TRUE(again) << text;
    EXPECT_EQ(again->compareTo(term.get()), 0) << text;
    EXPECT_EQ(again->hashCode(), term->hashCode()) << text;
  }
}

TEST(Reader, NanRoundTripsAsNan) {
  Ref<MRKBTerm> term = read("#nan");
  ASSERT_TRUE(term && term->asNumber());
  EXPECT_TRUE(std::isnan(term->asNumber()->real()));
  EXPECT_EQ(term->text(), "#nan");
}

TEST(Reader, KindsAreTheOnesWritten) {
  struct Case {
    const char* text;
    uint32_t ttid;
  } cases[] = {
      {"7", kMRKTermNumber},         {"a", kMRKTermSymbol},
      {"\"a\"", kMRKTermString},     {"#x\"00\"", kMRKTermBinary},
      {"#d5\"0000\"", kMRKTermData}, {"[a]", kMRKTermList},
      {"f(a)", kMRKTermFunc},        {"?f(a)", kMRKTermPredicate},
      {"X", kMRKTermVariable},       {"<l [] 1.0>", kMRKTermStatement},
      {"{}", kMRKTermFrame},         {"a ^ b", kMRKTermQuirk},
  };
  for (const auto& c : cases) {
    Ref<MRKBTerm> term = read(c.text);
    ASSERT_TRUE(term) << c.text;
    EXPECT_EQ(term->ttid(), c.ttid) << c.text;
  }
  EXPECT_EQ(read("7")->asNumber()->kind(), MRKCNumber::kUint);
  EXPECT_EQ(read("-7")->asNumber()->kind(), MRKCNumber::kSint);
  EXPECT_EQ(read("7.")->asNumber()->kind(), MRKCNumber::kReal);
  EXPECT_EQ(read("true")->asNumber()->kind(), MRKCNumber::kBool);
  EXPECT_TRUE(read("_")->asVariable()->isWildcard());
  EXPECT_EQ(read("?<96>f()")->asPredicate()->flags(), 96u);
}

TEST(Reader, PrintedTermsReadBack) {
  // Terms made in code whose printed form the reader must accept.
  Ref<MRKCFrame> frame = MRKCFrame::frame();
  frame->store(MRKCString::stringWithValue(std::string("\0nul\x1f", 5)).get(), "with \"quotes\"");
  frame->store(MRKCSymbol::symbolWithValue("Upper").get(), "sym");
  frame->store(MRKCSymbol::symbolWithValue("ends.").get(), "dot");
  frame->store(MRKCNumber::numberWithReal(0.1 + 0.2).get(), "real");
  frame->store(MRKCNumber::numberWithReal(-0.0).get(), "zero");
  frame->store(MRKCNumber::numberWithReal(1e-310).get(), "tiny");
  Ref<MRKBTerm> term =
      MRKCStatement::statementWithLabel("odd label", MRKCList::listWithTerms({frame.get()}).get(), 0.5);
  Ref<MRKBTerm> again = read(term->text());
  ASSERT_TRUE(again) << term->text();
  EXPECT_EQ(again->compareTo(term.get()), 0) << term->text();
  EXPECT_EQ(again->text(), term->text());
}

TEST(Reader, BadTextIsRefusedWithTheOffset) {
  const char* cases[] = {
      "",
      "[1, 2",
      "[1 2]",
      "{a: 1}",
      "{\"a\" 1}",
      "f(",
      "\"open",
      "'open",
      "#x\"0\"",
      "#x\"zz\"",
      "#d10\"000000\"",
      "#q",
      "18446744073709551616",
      "-9223372036854775809",
      "1.2.3",
      "a b",
      "ab.",
      "?f",
      "?<x>f()",
      "<l [] x>",
      "<l []>",
      "X:a",
      "\"\\q\"",
      "\"\\u12\"",
      ")",
      "+",
      "-",
      "+-5",
      "a^",
      "^a",
      "(a)",
      "(a^b)",
      "(a^b",
      "a^b)",
  };
  for (const char* text : cases) {
    std::string error;
    EXPECT_FALSE(read(text, &error)) << text;
    EXPECT_NE(error.find("offset"), std::string::npos) << text << ": " << error;
  }
}

// A \u escape becomes well-formed UTF-8: a surrogate pair one four-byte character, a surrogate
// alone (which has no UTF-8 form) refused by name.
TEST(Reader, UnicodeEscapesGiveWellFormedUTF8) {
  struct Case {
    const char* text;
    const char* value;  // null: refused
    const char* problem;
  } cases[] = {
      {R"("\u00e9\u20ac")", "\xC3\xA9\xE2\x82\xAC", ""},
      {R"("\ud83d\ude00")", "\xF0\x9F\x98\x80", ""},
      {R"("\ud83d")", nullptr, "a low surrogate escape after a high one"},
      {R"("\ud83dx")", nullptr, "a low surrogate escape after a high one"},
      {R"("\ud83d\u0041")", nullptr, "a low surrogate escape after a high one"},
      {R"("\ude00")", nullptr, "no lone low surrogate"},
  };
  for (const Case& c : cases) {
    std::string error;
    Ref<MRKBTerm> term = read(c.text, &error);
    if (!c.value) {
      EXPECT_FALSE(term) << c.text;
      EXPECT_NE(error.find(c.problem), std::string::npos) << c.text << ": " << error;
      continue;
    }
    ASSERT_TRUE(asString(term.get())) << c.text << ": " << error;
    EXPECT_EQ(asString(term.get())->value(), c.value) << c.text;
  }
}

// A quirk joins to the right: a^b^c holds a as head and the quirk b^c as tail.
TEST(Reader, QuirkJoinsToTheRight) {
  Ref<MRKBTerm> term = read("a^b^c");
  ASSERT_TRUE(asQuirk(term.get()));
  EXPECT_EQ(MRKFTermText(term->asQuirk()->head()), "a");
  EXPECT_EQ(MRKFTermText(term->asQuirk()->tail()), "b^c");
  Ref<MRKBTerm> grouped = read("(a^b)^c");
  ASSERT_TRUE(asQuirk(grouped.get()));
  EXPECT_EQ(MRKFTermText(grouped->asQuirk()->head()), "a^b");
  EXPECT_NE(grouped->compareTo(term.get()), 0);
  EXPECT_NE(grouped->hashCode(), term->hashCode());
}

TEST(Reader, DeepNestingIsRefusedNotOverflowed) {
  std::string deep(100000, '[');
  EXPECT_FALSE(read(deep));
  std::string chain;
  for (int i = 0; i < 100000; ++i) chain += "a^";
  EXPECT_FALSE(read(chain + "a"));
  std::string fine = std::string(100, '[') + std::string(100, ']');
  EXPECT_TRUE(read(fine));
}

}  // namespace

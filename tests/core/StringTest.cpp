#include "framework/core/LLKCAttributedString.h"
#include "framework/core/LLKCString.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

TEST(String, FactoriesBuildTheExpectedText) {
  EXPECT_STREQ(LLKCString::stringWithChars("ctm")->chars(), "ctm");
  EXPECT_STREQ(LLKCString::stringWithChars(nullptr)->chars(), "");
  EXPECT_STREQ(LLKCString::stringWithFormat("object %u", 32u)->chars(), "object 32");
  EXPECT_STREQ(LLKCString::stringWithConcat({"ctm", ".tick"})->chars(), "ctm.tick");
  char* block = static_cast<char*>(std::malloc(4));
  std::strcpy(block, "abc");
  EXPECT_EQ(LLKCString::stringWithCharsNoCopy(block)->string(), "abc");
}

TEST(String, ComparisonIsZeroOnlyWhenEqual) {
  Ref<LLKCString> jpg = LLKCString::stringWithChars("jpg");
  EXPECT_EQ(jpg->compareToChars("jpg"), 0);
  EXPECT_LT(jpg->compareToChars("jpgx"), 0);
  EXPECT_GT(jpg->compareToChars("jp"), 0);
  EXPECT_NE(jpg->compareToChars("JPG"), 0);
  EXPECT_EQ(jpg->compareToChars("JPG", false), 0);
  EXPECT_NE(jpg->compareToChars(nullptr), 0);
  EXPECT_EQ(jpg->compareToString(*LLKCString::stringWithChars("jpg")), 0);
}

TEST(String, EllipsisCountsCharactersNotBytes) {
  struct Case {
    const char* text;
    size_t n;
    const char* expected;
  };
  const Case cases[] = {
      {"short", 51, "short"},
      {"abcdef", 6, "abcdef"},
      {"abcdef", 4, "abc\u2026"},
      {"abcdef", 1, "\u2026"},
      {"abcdef", 0, ""},
      {"\u00e9\u00e9\u00e9\u00e9", 3, "\u00e9\u00e9\u2026"},  // never cuts inside a character
  };
  for (const Case& c : cases)
    EXPECT_STREQ(LLKCString::stringWithChars(c.text)->ellipsizedAt(c.n)->chars(), c.expected) << c.text << " " << c.n;
}

TEST(AttributedString, KeepsItsObjectBesideTheText) {
  Ref<LLKCString> term = LLKCString::stringWithChars("term");
  Ref<LLKCAttributedString> entry = LLKCAttributedString::stringWithString("caption", term);
  EXPECT_STREQ(entry->chars(), "caption");
  EXPECT_EQ(entry->attribute().get(), term.get());
}

}  // namespace

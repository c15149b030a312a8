// Unification: bindings, wildcards, kind constraints, and bindings left untouched on failure.
#include <gtest/gtest.h>

#include "framework/substrate/MRKCFunc.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCVariable.h"
#include "framework/substrate/MRKFUnify.h"

namespace {

Ref<MRKBTerm> read(std::string_view text) {
  Ref<MRKBTerm> term = MRKCReader::reader()->readTermFromString(text);
  EXPECT_TRUE(term) << text;
  return term;
}

bool unifies(std::string_view a, std::string_view b) {
  return MRKFUnifyTermsIsolated(nullptr, nullptr, read(a).get(), read(b).get());
}

TEST(Unify, TableOfCases) {
  struct Case {
    const char* a;
    const char* b;
    bool expected;
  } cases[] = {
      {"f(a, 1)", "f(a, 1)", true},
      {"f(a, 1)", "f(a, 1.0)", true},
      {"f(a, 1)", "f(b, 1)", false},
      {"f(a)", "g(a)", false},
      {"f(a)", "f(a, b)", false},
      {"f(X, X)", "f(a, a)", true},
      {"f(X, X)", "f(a, b)", false},
      {"f(_, _)", "f(a, b)", true},
      {"[X, Y]", "[Y, 3]", true},
      {"[X, b]", "[a, X]", false},
      {"X", "f(X)", false},
      {"color(_:[is.symbol])", "color(red)", true},
      {"color(_:[is.symbol])", "color(\"red\")", false},
      {"_:[is.number]", "4.5", true},
      {"_:[is.number]", "x", false},
      {"_:[is.list]", "[]", true},
      {"_:[is.frame]", "{}", true},
      {"_:[is.func]", "f()", true},
      {"_:[is.string]", "\"s\"", true},
      {"_:[is.data]", "#d5\"0000\"", true},
      {"_:[is.binary]", "#x\"00\"", true},
      {"_:[is.unknown]", "x", false},
      {"_:[is.number, is.atom]", "1", true},
      {"{\"a\": X, \"b\": 2}", "{\"b\": 2, \"a\": 1}", true},
      {"{\"a\": 1}", "{\"a\": 1, \"b\": 2}", false},
      {"<l [X] 1.0>", "<l [a] 1.0>", true},
      {"<l [X] 1.0>", "<l [a] 0.0>", false},
      {"X:[is.number]", "Y", true},
      {"f(X:[is.number], X)", "f(Y, a)", false},
      {"f(X, X:[is.number])", "f(a, b)", false},
      {"f(X, X:[is.symbol])", "f(a, a)", true},
      {"f(X:[is.number], Y, X)", "f(Y, Z, 3)", true},
      {"a^b", "a^b", true},
      {"X^b", "a^Y", true},
      {"X^X", "a^b", false},
      {"a^b", "b^a", false},
      {"a^b", "f(a, b)", false},
      {"_:[is.quirk]", "a^[1]", true},
      {"_:[is.quirk]", "[a, b]", false},
      {"X", "a^X", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(unifies(c.a, c.b), c.expected) << c.a << " ~ " << c.b;
    EXPECT_EQ(unifies(c.b, c.a), c.expected) << c.b << " ~ " << c.a;
  }
}

TEST(Unify, BindingsHoldTheMatchAndAreUntouchedOnFailure) {
  Ref<MRKCVariables> bindings = MRKCVariables::variables();
  ASSERT_TRUE(MRKFUnifyTerms(nullptr, nullptr, read("peek(N, V)").get(), read("peek(size, 16)").get(), bindings.get()));
  EXPECT_EQ(bindings->fetch("N")->text(), "size");
  EXPECT_EQ(bindings->fetch("V")->text(), "16");
  EXPECT_FALSE(MRKFUnifyTerms(nullptr, nullptr, read("f(W, N)").get(), read("f(1, other)").get(), bindings.get()));
  EXPECT_EQ(bindings->count(), 2u) << "a failed match leaves no binding behind";
  EXPECT_EQ(bindings->substitute(read("g(N, [V], W)").get())->text(), "g(size, [16], W)");
  EXPECT_EQ(bindings->substitute(read("N^V^W").get())->text(), "size^16^W");
  EXPECT_FALSE(MRKFUnifyTerms(nullptr, nullptr, read("a").get(), read("a").get(), nullptr));
  EXPECT_FALSE(MRKFUnifyTermsIsolated(nullptr, nullptr, nullptr, read("a").get()));
}

TEST(Unify, GeneralisedPatternFindsSameShapeWithOtherLeaves) {
  Ref<MRKCList> constraint = MRKCList::listWithTerms({MRKCSymbol::symbolWithValue("is.symbol").get()});
  Ref<MRKBTerm> leaf = MRKCVariable::variableAsWildcardWithConstraint(constraint.get());
  Ref<MRKBTerm> color = MRKCFunc::funcWithLabel("color", MRKCList::listWithTerms({leaf.get()}).get());
  Ref<MRKBTerm> pattern = MRKCFunc::funcWithLabel("query", MRKCList::listWithTerms({color.get()}).get());
  EXPECT_EQ(pattern->text(), "query(color(_:[is.symbol]))");
  EXPECT_TRUE(MRKFUnifyTermsIsolated(nullptr, nullptr, read("query(color(blue))").get(), pattern.get()));
  EXPECT_FALSE(MRKFUnifyTermsIsolated(nullptr, nullptr, read("query(color(7))").get(), pattern.get()));
}

}  // namespace

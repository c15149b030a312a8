// The term model: casts, ordering, structural hashes and the containers' editing operations.
#include <gtest/gtest.h>

#include "framework/substrate/MRKCBinary.h"
#include "framework/substrate/MRKCData.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCVariable.h"

namespace {

TEST(Terms, CastsAnswerNullForAnotherKindAndForNull) {
  Ref<MRKBTerm> symbol = MRKCSymbol::symbolWithValue("a");
  EXPECT_EQ(asSymbol(symbol.get()), symbol.get());
  EXPECT_EQ(asAtom(symbol.get()), symbol.get());
  EXPECT_EQ(asNumber(symbol.get()), nullptr);
  EXPECT_EQ(asList(symbol.get()), nullptr);
  EXPECT_EQ(asFrame(nullptr), nullptr);
  EXPECT_EQ(asFunc(nullptr), nullptr);
  Ref<MRKBTerm> predicate = MRKCPredicate::predicateWithLabel("p", nullptr);
  EXPECT_NE(asFunc(predicate.get()), nullptr) << "a predicate is a func";
  EXPECT_EQ(asAtom(MRKCList::list().get()), nullptr);
}

TEST(Terms, NumbersOfEveryKindCompareByValueAndHashAlike) {
  Ref<MRKCNumber> u = MRKCNumber::numberWithUint(5), s = MRKCNumber::numberWithSint(5),
                  r = MRKCNumber::numberWithReal(5.0);
  EXPECT_EQ(u->compareTo(s.get()), 0);
  EXPECT_EQ(u->compareTo(r.get()), 0);
  EXPECT_EQ(u->hashCode(), r->hashCode());
  EXPECT_EQ(s->hashCode(), r->hashCode());
  EXPECT_LT(MRKCNumber::numberWithSint(-1)->compareTo(MRKCNumber::numberWithUint(0).get()), 0);
  EXPECT_LT(MRKCNumber::numberWithReal(4.5)->compareTo(u.get()), 0);
  EXPECT_GT(MRKCNumber::numberWithUint(UINT64_MAX)->compareTo(MRKCNumber::numberWithSint(INT64_MAX).get()), 0);
  EXPECT_EQ(MRKCNumber::numberWithBool(true)->compareTo(MRKCNumber::numberWithUint(1).get()), 0);
  EXPECT_EQ(MRKCNumber::numberWithReal(-3.7)->sint(), -3);
  EXPECT_EQ(MRKCNumber::numberWithReal(-3.7)->uint(), 0u);
  EXPECT_EQ(MRKCNumber::numberWithReal(1e300)->sint(), INT64_MAX);
  // Reals beyond 64 bits lie past every integer, though the nearest double to the largest is 2^64.
  Ref<MRKCNumber> most = MRKCNumber::numberWithUint(UINT64_MAX), beyond = MRKCNumber::numberWithReal(0x1p64);
  EXPECT_LT(most->compareTo(beyond.get()), 0);
  EXPECT_GT(beyond->compareTo(most.get()), 0);
  EXPECT_GT(MRKCNumber::numberWithSint(INT64_MIN)->compareTo(MRKCNumber::numberWithReal(-0x1p64).get()), 0);
}

TEST(Terms, OrderIsByKindThenValue) {
  Ref<MRKBTerm> n = MRKCNumber::numberWithUint(9), a = MRKCSymbol::symbolWithValue("a"),
                b = MRKCSymbol::symbolWithValue("b");
  EXPECT_LT(n->compareTo(a.get()), 0);
  EXPECT_LT(a->compareTo(b.get()), 0);
  EXPECT_GT(b->compareTo(a.get()), 0);
  EXPECT_GT(a->compareTo(nullptr), 0);
  EXPECT_EQ(MRKFCompareTerms(nullptr, nullptr), 0);
  EXPECT_EQ(a->compareToChars("a"), 0);
  EXPECT_NE(MRKCString::stringWithValue("a")->compareTo(a.get()), 0) << "a string is not a symbol";
}

TEST(Terms, StructurallyEqualContainersAreEqualWithEqualHashes) {
  auto make = [] {
    Ref<MRKCFrame> frame = MRKCFrame::frame();
    frame->store(MRKCNumber::numberWithReal(0.5).get(), "w");
    Ref<MRKCList> terms = MRKCList::listWithTerms({MRKCSymbol::symbolWithValue("red").get(), frame.get()});
    return MRKCFunc::funcWithLabel("color", terms.get());
  };
  Ref<MRKCFunc> a = make(), b = make();
  EXPECT_EQ(a->compareTo(b.get()), 0);
  EXPECT_EQ(a->hashCode(), b->hashCode());
  Ref<MRKCFunc> c = MRKCFunc::funcWithLabel("colour", a->terms());
  EXPECT_NE(a->compareTo(c.get()), 0);
  EXPECT_NE(a->hashCode(), c->hashCode());
  EXPECT_NE(
      MRKCList::listWithTerms({MRKCNumber::numberWithUint(1).get(), MRKCNumber::numberWithUint(2).get()})->hashCode(),
      MRKCList::listWithTerms({MRKCNumber::numberWithUint(2).get(), MRKCNumber::numberWithUint(1).get()})->hashCode());
}

TEST(Terms, ListOperations) {
  Ref<MRKBTerm> x = MRKCSymbol::symbolWithValue("x"), y = MRKCSymbol::symbolWithValue("y");
  Ref<MRKCList> list = MRKCList::listWithTerms({x.get(), nullptr, y.get()});
  ASSERT_EQ(list->count(), 1u) << "a null ends the terms";
  EXPECT_EQ(list->head(), x.get());
  EXPECT_EQ(list->tail(), x.get());
  EXPECT_EQ(list->fetchAtIndex(1), nullptr);
  EXPECT_TRUE(list->store(y.get(), 1));
  EXPECT_FALSE(list->store(y.get(), 5));
  EXPECT_EQ(list->rest()->count(), 1u);
  EXPECT_EQ(list->rest()->head(), y.get());
  list->terms().push_back(nullptr);
  list->compact();
  EXPECT_EQ(list->count(), 2u);
  Ref<MRKCList> empty = MRKCList::list();
  EXPECT_EQ(empty->head(), nullptr);
  EXPECT_EQ(empty->tail(), nullptr);
  EXPECT_EQ(empty->rest()->count(), 0u);
}

TEST(Terms, FrameKeepsFirstStoreOrderAndCopiesShallow) {
  Ref<MRKCFrame> frame = MRKCFrame::frame();
  EXPECT_EQ(frame->store(MRKCNumber::numberWithUint(1).get(), "b"), 0);
  EXPECT_EQ(frame->store(MRKCNumber::numberWithUint(2).get(), "a"), 0);
  EXPECT_EQ(frame->store(MRKCNumber::numberWithUint(3).get(), "b"), 0);
  EXPECT_NE(frame->store(nullptr, "c"), 0);
  EXPECT_EQ(frame->text(), R"({"b": 3, "a": 2})");
  Ref<MRKCFrame> copy = frame->copy();
  copy->store(MRKCNumber::numberWithUint(4).get(), "c");
  EXPECT_EQ(frame->count(), 2u);
  EXPECT_EQ(copy->fetchForLabel("a"), frame->fetchForLabel("a"));
  EXPECT_TRUE(copy->remove("b"));
  EXPECT_EQ(copy->text(), R"({"a": 2, "c": 4})");
  EXPECT_EQ(copy->fetchForString("c")->asNumber()->uint(), 4u);
}

TEST(Terms, DataKeepsFormatAndCount) {
  int16_t values[3] = {1, -2, 3};
  Ref<MRKCData> data = MRKCData::dataWithFormat(kMRKDataSint16, values, 3);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->count(), 3u);
  EXPECT_EQ(static_cast<const int16_t*>(data->buffer())[1], -2);
  EXPECT_FALSE(MRKCData::dataWithBytes(kMRKDataReal32, {1, 2, 3}));
  EXPECT_FALSE(MRKCData::dataWithFormat(kMRKDataReal32, nullptr, 2));
}

TEST(Terms, ConstructorsRefuseMissingParts) {
  EXPECT_FALSE(MRKCFunc::funcWithLabel(static_cast<MRKCSymbol*>(nullptr), nullptr));
  EXPECT_FALSE(MRKCStatement::statementWithLabel("", nullptr, 1.0));
  EXPECT_FALSE(MRKCVariable::variableWithName("lower"));
  EXPECT_EQ(MRKCFunc::funcWithLabel("f", nullptr)->terms()->count(), 0u);
}

}  // namespace

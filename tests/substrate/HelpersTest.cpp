// The helper functions: frame members with defaults, flags, statements, booleans, arithmetic,
// time to live and JSON.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "framework/core/JSKCFrame.h"
#include "framework/core/JSKCReader.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKFTerms.h"

namespace {

Ref<MRKCFrame> frameOf(std::string_view text) {
  return Ref<MRKCFrame>(MRKCReader::reader()->readTermFromString(text)->asFrame());
}

TEST(Helpers, FrameFetchersUseTheDefaultForAbsentOrWrongKinds) {
  Ref<MRKCFrame> frame = frameOf(R"({"n": 7, "r": 2.5, "s": sym, "t": "text", "b": yes, "neg": -3})");
  EXPECT_EQ(MRKFFrameFetchUint(frame.get(), "n", 1), 7u);
  EXPECT_EQ(MRKFFrameFetchUint(frame.get(), "s", 1), 1u);
  EXPECT_EQ(MRKFFrameFetchUint(frame.get(), "missing", 1), 1u);
  EXPECT_EQ(MRKFFrameFetchSint(frame.get(), "neg", 0), -3);
  EXPECT_DOUBLE_EQ(MRKFFrameFetchReal(frame.get(), "r", 0), 2.5);
  EXPECT_DOUBLE_EQ(MRKFFrameFetchReal(frame.get(), "n", 0), 7.0);
  EXPECT_TRUE(MRKFFrameFetchBool(frame.get(), "b", false));
  EXPECT_TRUE(MRKFFrameFetchBool(frame.get(), "t", true));
  EXPECT_TRUE(MRKFFrameFetchSymbol(frame.get(), "s"));
  EXPECT_FALSE(MRKFFrameFetchSymbol(frame.get(), "t"));
  EXPECT_TRUE(MRKFFrameFetchString(frame.get(), "t"));
  EXPECT_FALSE(MRKFFrameFetchTerm(nullptr, "n"));
  EXPECT_EQ(MRKFFrameFetchUint(nullptr, "n", 9), 9u);
  EXPECT_TRUE(MRKFFrameStoreReal(frame.get(), "wtmod", 0.5));
  EXPECT_FALSE(MRKFFrameStoreReal(nullptr, "wtmod", 0.5));
  EXPECT_FALSE(MRKFFrameStoreTerm(frame.get(), "x", nullptr));
  EXPECT_DOUBLE_EQ(MRKFFrameFetchReal(frame.get(), "wtmod", 0), 0.5);
}

TEST(Helpers, DecodeFlags) {
  static const MRKTFlagName rows[] = {{"left", 1}, {"right", 2}, {"toss", 4}};
  Ref<MRKBTerm> right = MRKCSymbol::symbolWithValue("right");
  EXPECT_EQ(MRKFDecodeTermAsFlagWithDefault(right.get(), rows, 3, 9), 2u);
  EXPECT_EQ(MRKFDecodeTermAsFlagWithDefault(MRKCSymbol::symbolWithValue("up").get(), rows, 3, 9), 9u);
  EXPECT_EQ(MRKFDecodeTermAsFlagWithDefault(nullptr, rows, 3, 9), 9u);
  EXPECT_EQ(MRKFDecodeTermAsFlagWithDefault(MRKCNumber::numberWithUint(1).get(), rows, 3, 9), 9u);
  EXPECT_EQ(MRKFDecodeTermAsFlag(right.get(), rows, 2), 2u);
  EXPECT_EQ(MRKFDecodeTermAsFlag(MRKCSymbol::symbolWithValue("toss").get(), rows, 2), 0u)
      << "only count rows are searched";
}

TEST(Helpers, Statements) {
  Ref<MRKBTerm> a = MRKCSymbol::symbolWithValue("a");
  EXPECT_EQ(MRKFMakeStatementWithTerm("l", a.get(), 1.0)->text(), "<l [a] 1.0>");
  EXPECT_EQ(MRKFMakeStatementWith4Terms("l", a.get(), a.get(), a.get(), a.get(), 0.0)->terms()->count(), 4u);
  EXPECT_FALSE(MRKFMakeStatementWith4Terms("l", a.get(), nullptr, a.get(), a.get(), 0.0));
  EXPECT_EQ(MRKFMakeStatementWith5Terms("l", a.get(), a.get(), a.get(), a.get(), a.get(), 1.0)->terms()->count(), 5u);
  EXPECT_FALSE(MRKFMakeStatementWithTerm("", a.get(), 1.0));
}

TEST(Helpers, AtomToBoolean) {
  struct Case {
    const char* text;
    int result;
    bool value;
  } cases[] = {{"1", 0, true},       {"0.0", 0, false},    {"true", 0, true},  {"false", 0, false}, {"yes", 0, true},
               {"\"no\"", 0, false}, {"maybe", 22, false}, {"[1]", 22, false}, {"off", 0, false}};
  for (const auto& c : cases) {
    bool value = false;
    EXPECT_EQ(MRKFAtomToBoolean(MRKCReader::reader()->readTermFromString(c.text).get(), &value), c.result) << c.text;
    if (c.result == 0) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
  bool value = true;
  EXPECT_EQ(MRKFAtomToBoolean(nullptr, &value), 22);
}

TEST(Helpers, AtomToTextShowsTheValueOfSymbolsAndStrings) {
  struct Case {
    const char* text;
    const char* shown;
  } cases[] = {{"red", "red"}, {"\"dark red\"", "dark red"}, {"2", "2"}, {"[a, b]", "[a, b]"}};
  for (const auto& c : cases)
    EXPECT_EQ(MRKFAtomToText(MRKCReader::reader()->readTermFromString(c.text).get()), c.shown) << c.text;
  EXPECT_EQ(MRKFAtomToText(nullptr), "");
}

TEST(Helpers, ArithmeticMulKeepsTheKindThatFits) {
  auto mul = [](const char* a, const char* b) {
    auto reader = MRKCReader::reader();
    Ref<MRKCNumber> product =
        MRKFArithmeticMul(reader->readTermFromString(a).get(), reader->readTermFromString(b).get());
    return product ? product->text() : std::string("nil");
  };
  EXPECT_EQ(mul("3", "4"), "12");
  EXPECT_EQ(mul("-3", "4"), "-12");
  EXPECT_EQ(mul("1.5", "4"), "6.0");
  EXPECT_EQ(mul("18446744073709551615", "2"), "36893488147419103232.0");
  EXPECT_EQ(mul("a", "2"), "nil");
}

TEST(Helpers, NextTTLIsWhatIsLeft) {
  double now = MRKFNowInSeconds();
  EXPECT_NEAR(MRKFComputeNextTTL(5.0f, now - 1.0), 4.0f, 0.5f);
  EXPECT_EQ(MRKFComputeNextTTL(1.0f, now - 5.0), 0.0f);
}

TEST(Helpers, JSONDecoding) {
  auto json = nlohmann::ordered_json::parse(
      R"J({"stage": "ctm", "z": 1, "a": -2, "r": 0.5, "on": true, "list": ["x", 3], "g": {"$term": "g(X)"}, "n": null})J");
  std::string error;
  Ref<MRKCFrame> frame = MRKFJSONDecodeFrame(json, kMRKJSONTerms, &error);
  ASSERT_TRUE(frame) << error;
  EXPECT_EQ(frame->text(),
            R"({"stage": ctm, "z": 1, "a": -2, "r": 0.5, "on": true, "list": [x, 3], "g": g(X), "n": null})");
  Ref<MRKCFrame> strings = MRKFJSONDecodeFrame(json, kMRKJSONStrings, &error);
  ASSERT_TRUE(strings);
  EXPECT_EQ(MRKFFrameFetchTerm(strings.get(), "stage")->text(), "\"ctm\"");
  EXPECT_EQ(MRKFFrameFetchTerm(strings.get(), "g")->text(), R"J({"$term": "g(X)"})J");
  EXPECT_FALSE(
      MRKFJSONDecodeFrame(nlohmann::ordered_json::parse(R"J({"bad": {"$term": "g("}})J"), kMRKJSONTerms, &error));
  EXPECT_NE(error.find("\"bad\""), std::string::npos) << error;
  EXPECT_FALSE(MRKFJSONDecodeFrame(nlohmann::ordered_json::parse("[1]"), 0, &error));
}

TEST(Helpers, CoreKitJSONFramesDecodeAlike) {
  const char* text =
      R"J({"file_name": "a.jpg", "id": 7, "neg": -1, "area": 2.5, "crowd": false, "bbox": [1, 2], "none": null})J";
  Ref<JSKCFrame> json = JSKCReader::reader()->readFromString(text);
  ASSERT_TRUE(json);
  std::string error;
  Ref<MRKCFrame> frame = MRKFJSONDecodeFrame(json.get(), kMRKJSONStrings, &error);
  ASSERT_TRUE(frame) << error;
  EXPECT_EQ(
      frame->text(),
      R"J({"file_name": "a.jpg", "id": 7, "neg": -1, "area": 2.5, "crowd": false, "bbox": [1, 2], "none": null})J");
  EXPECT_EQ(frame->compareTo(MRKFJSONDecodeFrame(nlohmann::ordered_json::parse(text), kMRKJSONStrings).get()), 0);
  EXPECT_FALSE(MRKFJSONDecodeFrame(static_cast<const JSKCFrame*>(nullptr), 0, &error));
}

}  // namespace

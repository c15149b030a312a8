// "qav.convert", called as the substrate calls primitives, and registered by the module entry.
#include <gtest/gtest.h>

#include "framework/substrate/MRKCPrimitive.h"
#include "framework/substrate/MRKCVariable.h"
#include "imagekit/IMKFImageConvert.h"
#include "modules/vision/module/QAVFPrimitiveConvert.h"
#include "modules/vision/module/QAVModuleEntry.h"
#include "tests/vision/VisionTestKit.h"

namespace {

Ref<MRKCList> dimensions(uint64_t width, uint64_t height) {
  return MRKCList::listWithTerms({MRKCNumber::numberWithUint(width).get(), MRKCNumber::numberWithUint(height).get()});
}
Ref<MRKBTerm> symbol(const char* name) { return MRKCSymbol::symbolWithValue(name); }
Ref<MRKBTerm> variable(const char* name) { return MRKCVariable::variableWithName(name); }
Ref<MRKBTerm> binary(const std::vector<uint8_t>& bytes) { return MRKCBinary::binaryWithValue(bytes); }

Ref<MRKCStatement> call(std::vector<Ref<MRKBTerm>> terms) {
  return MRKCStatement::statementWithLabel("qav.convert", MRKCList::listWithVector(terms).get(), 1.0);
}

struct Outcome {
  int status;
  Ref<MRKCList> answers = MRKCList::list();
  Ref<MRKCVariables> bindings = MRKCVariables::variables();
};

Outcome run(MRKCStatement* statement) {
  Outcome outcome{0};
  outcome.status = QAVFPrimitiveConvert(nullptr, nullptr, statement, outcome.answers.get(), outcome.bindings.get());
  return outcome;
}

MRKCStatement* answer(const Outcome& outcome) { return asStatement(outcome.answers->head()); }

TEST(PrimitiveConvert, MalformedCallsAreErrorsWithTheirMessage) {
  std::vector<uint8_t> pixels = patternPixels(2, 2, 3);
  struct Case {
    const char* what;
    std::vector<Ref<MRKBTerm>> terms;
    const char* message;
  } cases[] = {
      {"dimensions a symbol",
       {symbol("wide"), symbol("rgb"), symbol("bgr"), binary(pixels), variable("X")},
       "qav.convert : first term must be the dimension of the image (as a list)"},
      {"one dimension",
       {MRKCList::listWithTerms({MRKCNumber::numberWithUint(2).get()}), symbol("rgb"), symbol("bgr"), binary(pixels),
        variable("X")},
       "qav.convert : first term must be the dimension of the image (as a list)"},
      {"zero width",
       {dimensions(0, 2), symbol("rgb"), symbol("bgr"), binary(pixels), variable("X")},
       "qav.convert : first term must be the dimension of the image (as a list)"},
      {"width beyond 32 bits",
       {dimensions(1ull << 32, 2), symbol("rgb"), symbol("bgr"), binary(pixels), variable("X")},
       "qav.convert : first term must be the dimension of the image (as a list)"},
      {"dimension a symbol",
       {MRKCList::listWithTerms({symbol("two").get(), symbol("two").get()}), symbol("rgb"), symbol("bgr"),
        binary(pixels), variable("X")},
       "qav.convert : first term must be the dimension of the image (as a list)"},
      {"format a string",
       {dimensions(2, 2), MRKCString::stringWithValue("rgb"), symbol("bgr"), binary(pixels), variable("X")},
       "qav.convert : pixel format must be a symbol"},
      {"target a number",
       {dimensions(2, 2), symbol("rgb"), MRKCNumber::numberWithUint(3), binary(pixels), variable("X")},
       "qav.convert : pixel format must be a symbol"},
      {"mjpeg is not the primitive's",
       {dimensions(2, 2), symbol("mjpeg"), symbol("bgr"), binary(pixels), variable("X")},
       "qav.convert : unknown pixel format used"},
      {"unknown target",
       {dimensions(2, 2), symbol("rgb"), symbol("hsv"), binary(pixels), variable("X")},
       "qav.convert : unknown pixel format used"},
      {"data short of 2x2 rgba",
       {dimensions(2, 2), symbol("rgba"), symbol("bgr"), binary(pixels), variable("X")},
       "qav.convert : image data is too short for its dimensions and pixel format"},
      {"data short, to jpeg",
       {dimensions(200, 200), symbol("rgb"), symbol("jpeg"), binary(pixels), variable("X")},
       "qav.convert : image data is too short for its dimensions and pixel format"},
      {"jpeg announcing 4 GB",
       {dimensions(40000, 40000), symbol("jpeg"), symbol("rgb"), binary({0xFF, 0xD8, 0xFF}), variable("X")},
       "qav.convert : image data is too short for its dimensions and pixel format"},
  };
  for (const auto& c : cases) {
    OutputCapture log;
    Ref<MRKCStatement> statement = call(c.terms);
    Outcome outcome = run(statement.get());
    EXPECT_EQ(outcome.status, 12) << c.what;
    EXPECT_TRUE(log.saw(c.message)) << c.what;
    ASSERT_EQ(outcome.answers->count(), 1u) << c.what << ": the call is echoed as false";
    EXPECT_EQ(answer(outcome)->value(), 0.0) << c.what;
    EXPECT_EQ(answer(outcome)->terms()->text(), statement->terms()->text()) << c.what;
    EXPECT_EQ(outcome.bindings->count(), 0u) << c.what;
  }
}

TEST(PrimitiveConvert, WrongTermCountOrNoAnswersIsABadCallWithoutAnswer) {
  Ref<MRKCStatement> four = call({dimensions(2, 2), symbol("rgb"), symbol("bgr"), binary(patternPixels(2, 2, 3))});
  Outcome outcome = run(four.get());
  EXPECT_EQ(outcome.status, 12);
  EXPECT_EQ(outcome.answers->count(), 0u);
  Ref<MRKCStatement> five =
      call({dimensions(2, 2), symbol("rgb"), symbol("bgr"), binary(patternPixels(2, 2, 3)), variable("X")});
  EXPECT_EQ(QAVFPrimitiveConvert(nullptr, nullptr, five.get(), nullptr, nullptr), 12);
  EXPECT_EQ(QAVFPrimitiveConvert(nullptr, nullptr, nullptr, MRKCList::list().get(), nullptr), 12);
}

TEST(PrimitiveConvert, NothingToConvertWhenNeitherImageTermHoldsData) {
  Outcome outcome = run(call({dimensions(2, 2), symbol("rgb"), symbol("bgr"), variable("X"), variable("Y")}).get());
  EXPECT_EQ(outcome.status, 20);
  EXPECT_EQ(outcome.answers->count(), 0u);
}

TEST(PrimitiveConvert, BGRToJPEGBindsTheVariableToJPEGBytes) {
  std::vector<uint8_t> pixels = patternPixels(2, 2, 3);
  Outcome outcome = run(call({dimensions(2, 2), symbol("bgr"), symbol("jpeg"), binary(pixels), variable("X")}).get());
  ASSERT_EQ(outcome.status, 0);
  ASSERT_EQ(outcome.answers->count(), 1u);
  EXPECT_EQ(answer(outcome)->value(), 1.0);
  EXPECT_EQ(answer(outcome)->label(), "qav.convert");
  MRKCBinary* bound = asBinary(outcome.bindings->fetch("X"));
  ASSERT_TRUE(bound);
  ASSERT_GT(bound->length(), 2u);
  EXPECT_EQ(bound->bytes()[0], 0xFF);
  EXPECT_EQ(bound->bytes()[1], 0xD8);
  EXPECT_EQ(MRKFCompareTerms(answer(outcome)->terms()->fetchAtIndex(4), bound), 0);
  std::vector<uint8_t> decoded(12);
  EXPECT_EQ(IMKFImageConvert(2, 2, bound->bytes(), bound->length(), IMKPixelFormatJPEG, decoded.data(), 12,
                             IMKPixelFormatBGR),
            0);
}

TEST(PrimitiveConvert, RawConversionsMakeANewBinary) {
  std::vector<uint8_t> rgb = patternPixels(3, 2, 3);
  Ref<MRKBTerm> source = binary(rgb);
  Outcome same = run(call({dimensions(3, 2), symbol("rgb"), symbol("rgb"), source, variable("X")}).get());
  ASSERT_EQ(same.status, 0);
  MRKCBinary* copy = asBinary(same.bindings->fetch("X"));
  ASSERT_TRUE(copy);
  EXPECT_NE(copy, source.get());
  EXPECT_EQ(copy->value(), rgb);

  Outcome swapped = run(call({dimensions(3, 2), symbol("rgb"), symbol("bgra"), source, variable("X")}).get());
  ASSERT_EQ(swapped.status, 0);
  const std::vector<uint8_t>& bgra = asBinary(swapped.bindings->fetch("X"))->value();
  ASSERT_EQ(bgra.size(), 24u);
  for (size_t pixel = 0; pixel < 6; ++pixel) {
    EXPECT_EQ(bgra[pixel * 4 + 0], rgb[pixel * 3 + 2]);
    EXPECT_EQ(bgra[pixel * 4 + 1], rgb[pixel * 3 + 1]);
    EXPECT_EQ(bgra[pixel * 4 + 2], rgb[pixel * 3 + 0]);
    EXPECT_EQ(bgra[pixel * 4 + 3], 255);
  }
}

TEST(PrimitiveConvert, DataInTheLastTermConvertsBackIntoTheFirstFormat) {
  // Term 3 is in the first format and term 4 in the second, whichever of them holds the data.
  std::vector<uint8_t> bgr = patternPixels(2, 1, 3);
  Ref<MRKBTerm> source = binary(bgr);
  Outcome outcome = run(call({dimensions(2, 1), symbol("rgb"), symbol("bgr"), variable("X"), source}).get());
  ASSERT_EQ(outcome.status, 0);
  const std::vector<uint8_t>& rgb = asBinary(outcome.bindings->fetch("X"))->value();
  EXPECT_EQ(rgb, (std::vector<uint8_t>{bgr[2], bgr[1], bgr[0], bgr[5], bgr[4], bgr[3]}));
  EXPECT_EQ(answer(outcome)->value(), 1.0);
  EXPECT_EQ(answer(outcome)->terms()->fetchAtIndex(4), source.get());
  EXPECT_EQ(asBinary(answer(outcome)->terms()->fetchAtIndex(3))->value(), rgb);
}

TEST(PrimitiveConvert, ABoundTargetThatDiffersAnswersFalse) {
  std::vector<uint8_t> rgb = patternPixels(2, 2, 3);
  Outcome outcome = run(
      call({dimensions(2, 2), symbol("rgb"), symbol("rgb"), binary(rgb), binary(std::vector<uint8_t>(12, 0))}).get());
  EXPECT_EQ(outcome.status, 0);
  ASSERT_EQ(outcome.answers->count(), 1u);
  EXPECT_EQ(answer(outcome)->value(), 0.0);
}

TEST(PrimitiveConvert, UndecodableDataIsNoErrorOfTheCall) {
  Outcome outcome =
      run(call({dimensions(2, 2), symbol("jpeg"), symbol("rgb"), binary({0xFF, 0xD8, 0xFF, 0x00, 0x11}), variable("X")})
              .get());
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.answers->count(), 0u);
}

TEST(PrimitiveConvert, ModuleEntryAddsAndRemovesIt) {
  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  EXPECT_EQ(QAVFModuleInit(substrate.get()), 0);
  Ref<MRKCPrimitive> primitive = substrate->primitives()->fetch<MRKCPrimitive>("qav.convert");
  ASSERT_TRUE(primitive);
  EXPECT_EQ(primitive->function(), &QAVFPrimitiveConvert);
  EXPECT_EQ(QAVFModuleExit(substrate.get()), 0);
  EXPECT_FALSE(substrate->primitives()->objectForKey("qav.convert"));
  EXPECT_EQ(QAVFModuleInit(nullptr), 22);
}

}  // namespace

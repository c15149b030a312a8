// What the stage takes in, how it reads its configuration, how it builds a tick and adapts its
// period, worked on the stage's record without a substrate.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCFunc.h"
#include "framework/substrate/MRKFTerms.h"
#include "modules/ctm/stage/CTMFStageCompetition.h"
#include "modules/ctm/stage/CTMFStageConfig.h"
#include "modules/ctm/stage/CTMFStageIntake.h"
#include "modules/ctm/stage/CTMFStageTick.h"
#include "tests/ctm_stage/StageTestKit.h"

namespace {

class StageRecord : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(CTMFStageRecordInit(&record, "ctm")); }

  bool take(const ChunkSpec& spec) { return CTMFStageIntakeStatement(&record, carrierOf(makeChunk(spec).get()).get()); }

  static Ref<MRKCFrame> properties(std::initializer_list<std::pair<const char*, Ref<MRKBTerm>>> members) {
    Ref<MRKCFrame> frame = MRKCFrame::frame();
    for (const auto& [key, value] : members) frame->store(value.get(), key);
    return frame;
  }
  static Ref<MRKBTerm> uint(uint64_t value) { return MRKCNumber::numberWithUint(value); }
  static Ref<MRKBTerm> symbol(const char* value) { return MRKCSymbol::symbolWithValue(value); }

  static std::vector<std::string> keysOf(MRKCFrame* frame) {
    std::vector<std::string> keys;
    for (const auto& member : frame->members()) keys.push_back(member.first);
    return keys;
  }

  CTMTStage record;
};

TEST_F(StageRecord, MalformedChunksAreRefusedAndLogged) {
  OutputCapture output(OutputCapture::kLogAndConsole);
  std::vector<Ref<MRKBTerm>> carriers;
  auto broken = [](size_t index, MRKBTerm* replacement) {
    Ref<MRKCList> chunk = makeChunk({"a", 1});
    chunk->store(replacement, index);
    return carrierOf(chunk.get());
  };
  Ref<MRKCList> seven = makeChunk({"a", 1});
  seven->terms().pop_back();
  Ref<MRKCList> nine = makeChunk({"a", 1});
  nine->append(uint(1).get());
  carriers.push_back(carrierOf(seven.get()));
  carriers.push_back(carrierOf(nine.get()));
  carriers.push_back(broken(kCTMChunkSender, uint(1).get()));
  carriers.push_back(broken(kCTMChunkTick, symbol("now").get()));
  carriers.push_back(broken(kCTMChunkUid, uint(3).get()));
  carriers.push_back(broken(kCTMChunkWeight, symbol("heavy").get()));
  carriers.push_back(broken(kCTMChunkIntensity, MRKCNumber::numberWithReal(std::nan("")).get()));
  carriers.push_back(broken(kCTMChunkMood, MRKCNumber::numberWithReal(INFINITY).get()));
  carriers.push_back(carrierOf(symbol("chunk").get()));
  carriers.push_back(MRKCStatement::statementWithLabel("ctm.pass", nullptr, 1.0));
  carriers.push_back(makeChunk({"a", 1}));  // a chunk, but not in a statement
  carriers.push_back(nullptr);
  for (const auto& carrier : carriers)
    EXPECT_FALSE(CTMFStageIntakeStatement(&record, carrier.get())) << MRKFTermText(carrier.get());
  EXPECT_EQ(output.count("ctm : malformed chunk refused"), carriers.size());
  EXPECT_EQ(record.chunks->count(), 0u);

  // Nothing of it sticks: the next tick competes the good chunks as usual.
  EXPECT_TRUE(take({"b", 1}));
  EXPECT_TRUE(take({"c", 2}));
  CTMTStageTick tick = CTMFStageMakeTick(&record, false, 250, true);
  ASSERT_TRUE(tick.statement);
  EXPECT_EQ(tick.winners, 2u);
}

TEST_F(StageRecord, OldChunksAreSkipped) {
  record.tlag = 2;
  record.tickCounter = 10;
  for (uint64_t stamp : {8u, 9u, 10u}) EXPECT_TRUE(take({"a", 1, 0, 0, stamp})) << stamp;
  for (uint64_t stamp : {7u, 11u}) EXPECT_FALSE(take({"a", 1, 0, 0, stamp})) << stamp;
  EXPECT_EQ(record.chunks->count(), 3u);
  record.tlag = 0;
  EXPECT_TRUE(take({"a", 1, 0, 0, 1000}));
}

TEST_F(StageRecord, IntakeOrderFollowsTheMode) {
  struct Case {
    uint32_t mode;
    std::vector<std::string> order;
  };
  for (const Case& c : {Case{kCTMModeDeterministic, {"a", "b", "c"}}, Case{kCTMModeProbabilistic, {"b", "c", "a"}},
                        Case{kCTMModeWeightCentric, {"a", "c", "b"}}}) {
    record = CTMTStage();
    ASSERT_TRUE(CTMFStageRecordInit(&record, "ctm"));
    record.mode = c.mode;
    take({"b", 1});
    take({"c", 2});
    take({"a", 3});
    Ref<MRKCList> chunks = CTMFStageListToChunks(&record);
    EXPECT_EQ(sendersOf(chunks.get()), c.order) << "mode " << c.mode;
  }
}

TEST_F(StageRecord, ChunkObjectsAreReused) {
  take({"a", 1});
  take({"b", 2});
  CTMFStageMakeTick(&record, false, 250, false);
  ASSERT_EQ(record.pool->count(), 2u);
  LLKBObject* pooled = record.pool->head().get();
  take({"c", 3});
  EXPECT_EQ(record.pool->count(), 1u);
  EXPECT_EQ(record.chunks->head().get(), pooled);
  EXPECT_EQ(static_cast<CTMCStageChunk*>(pooled)->count(), 1u);
}

TEST_F(StageRecord, DefaultConfiguration) {
  Ref<MRKCFrame> none = MRKCFrame::frame();
  EXPECT_EQ(CTMFStageUpdateConfig(&record, none.get()), 0);
  EXPECT_EQ(record.period, 250u);
  EXPECT_EQ(record.tickMax, 250u);
  EXPECT_EQ(record.tickMin, 0u);
  EXPECT_EQ(record.mode, kCTMModeDeterministic);
  EXPECT_EQ(record.size, 7u);
  EXPECT_EQ(record.tlag, 0u);
  EXPECT_EQ(record.func, kCTMFuncAbsWeight);
  EXPECT_EQ(record.esel, kCTMEselLeft);
  EXPECT_FALSE(record.clockSymbol);
  EXPECT_EQ(keysOf(record.frameTemplate.get()), (std::vector<std::string>{"drop", "intr"}));
  EXPECT_EQ(MRKFFrameFetchReal(record.frameTemplate.get(), "drop", 0), 0.800000011920929);
  EXPECT_EQ(MRKFFrameFetchReal(record.frameTemplate.get(), "intr", 0), 100.0);
}

TEST_F(StageRecord, ConfigurationFromProperties) {
  Ref<MRKCFrame> given = properties({{"tick", symbol("clock")},
                                     {"mode", symbol("probabilistic")},
                                     {"size", uint(3)},
                                     {"tlag", uint(2)},
                                     {"tick.min", uint(50)},
                                     {"mood", MRKCNumber::numberWithReal(0.25)},
                                     {"intr", MRKCNumber::numberWithReal(7.5)},
                                     {"func", symbol("intensity_mood_2")},
                                     {"esel", symbol("toss")}});
  EXPECT_EQ(CTMFStageUpdateConfig(&record, given.get()), 0);
  ASSERT_TRUE(record.clockSymbol);
  EXPECT_EQ(record.clockSymbol->value(), "clock");
  EXPECT_EQ(record.period, 0u);
  EXPECT_EQ(record.tickMin, 0u) << "\"tick.min\" is read only with the stage's own timer";
  EXPECT_EQ(record.mode, kCTMModeProbabilistic);
  EXPECT_EQ(record.size, 3u);
  EXPECT_EQ(record.tlag, 2u);
  EXPECT_EQ(record.mood, 0.25f);
  EXPECT_EQ(record.func, kCTMFuncIntensityMood2);
  EXPECT_EQ(record.esel, kCTMEselToss);
  EXPECT_EQ(keysOf(record.frameTemplate.get()), (std::vector<std::string>{"intr"})) << "no \"drop\" when probabilistic";

  Ref<MRKCFrame> unknown =
      properties({{"mode", symbol("random")}, {"func", symbol("loudness")}, {"esel", symbol("middle")}});
  CTMFStageUpdateConfig(&record, unknown.get());
  EXPECT_EQ(record.mode, kCTMModeDeterministic);
  EXPECT_EQ(record.func, kCTMFuncAbsWeight);
  EXPECT_EQ(record.esel, kCTMEselLeft);
  EXPECT_FALSE(record.clockSymbol);
}

TEST_F(StageRecord, SpinningOrStallingConfigurationIsClamped) {
  struct Case {
    Ref<MRKCFrame> given;
    uint32_t period;
    uint32_t tickMin;
    uint32_t size;
    const char* line;
  };
  std::vector<Case> cases = {
      {properties({{"tick", uint(0)}}), 1, 0, 7, "ctm : \"tick\" 0 would spin the stage, using 1 ms"},
      {properties({{"tick", uint(100)}, {"tick.min", uint(300)}}), 100, 100, 7,
       "ctm : \"tick.min\" 300 is above \"tick\" 100, using 100"},
      {properties({{"size", uint(0)}}), 250, 0, 1, "ctm : \"size\" 0 would let no chunk win, using 1"},
      // Values of the wrong kind are told as given, not as what they would have been read as.
      {properties({{"tick", MRKCNumber::numberWithSint(-5)}}), 250, 0, 7,
       "ctm : \"tick\" must be a whole number of at least 0, not -5; using 250"},
      {properties({{"tick", MRKCNumber::numberWithReal(2.5)}}), 250, 0, 7,
       "ctm : \"tick\" must be a whole number of at least 0, not 2.5; using 250"},
      {properties({{"size", MRKCString::stringWithValue("four")}}), 250, 0, 7,
       "ctm : \"size\" must be a whole number of at least 0, not \"four\"; using 7"},
      {properties({{"mood", symbol("happy")}}), 250, 0, 7, "ctm : \"mood\" must be a number, not happy; using 0"},
  };
  for (const auto& c : cases) {
    OutputCapture output(OutputCapture::kLogAndConsole);
    CTMFStageUpdateConfig(&record, c.given.get());
    EXPECT_EQ(record.period, c.period);
    EXPECT_EQ(record.tickMin, c.tickMin);
    EXPECT_EQ(record.size, c.size);
    EXPECT_TRUE(output.saw(c.line)) << c.line;
  }
}

TEST_F(StageRecord, SymbolTables) {
  EXPECT_EQ(MRKFDecodeTermAsFlagWithDefault(symbol("weightcentric").get(), kCTMModes, 3, 0), 3u);
  EXPECT_EQ(MRKFDecodeTermAsFlagWithDefault(symbol("abs_mood").get(), kCTMFuncs, 5, 9), 3u);
  EXPECT_EQ(MRKFDecodeTermAsFlagWithDefault(symbol("right").get(), kCTMEsels, 3, 0), 2u);
}

TEST_F(StageRecord, TickStatement) {
  record.mood = 0.5f;
  record.tickCounter = 4;
  CTMFStageUpdateConfig(&record, properties({{"mood", MRKCNumber::numberWithReal(0.5)}, {"size", uint(1)}}).get());
  Ref<MRKCList> a = makeChunk({"a", 2, 0.4, -0.2});
  Ref<MRKCList> b = makeChunk({"b", 1, 0.2, 0.1});
  CTMFStageIntakeStatement(&record, carrierOf(a.get()).get());
  CTMFStageIntakeStatement(&record, carrierOf(b.get()).get());
  Ref<MRKCList> link = makeChunk({"l", 1});
  record.links->append(link);

  for (bool external : {false, true}) {
    CTMTStageTick tick = CTMFStageMakeTick(&record, external, 260, false);
    ASSERT_TRUE(tick.statement);
    MRKCStatement* statement = tick.statement.get();
    EXPECT_EQ(statement->label(), "ctm.tick");
    EXPECT_EQ(statement->value(), 1.0);
    ASSERT_EQ(statement->terms()->count(), 3u);
    EXPECT_EQ(asNumber(statement->terms()->fetchAtIndex(0))->uint(), 4u);
    MRKCFrame* frame = asFrame(statement->terms()->fetchAtIndex(2));
    ASSERT_TRUE(frame);
    EXPECT_EQ(keysOf(frame),
              external ? (std::vector<std::string>{"drop", "intr", "chunks", "links", "time", "tick", "mood"})
                       : (std::vector<std::string>{"drop", "intr", "chunks", "links", "time", "mood", "tick"}));
    EXPECT_EQ(MRKFFrameFetchUint(frame, "tick", 0), 260u);
    EXPECT_EQ(asList(MRKFFrameFetchTerm(frame, "links"))->head(), link.get());
    EXPECT_EQ(record.links->count(), 1u) << "links stay until the tick went out";
    if (!external) {
      MRKCList* winners = asList(statement->terms()->fetchAtIndex(1));
      EXPECT_EQ(sendersOf(winners), (std::vector<std::string>{"a"}));
      EXPECT_NEAR(realAt(winners->head(), kCTMChunkIntensity), 0.3, 1e-12);
      EXPECT_EQ(sendersOf(asList(MRKFFrameFetchTerm(frame, "chunks"))), (std::vector<std::string>{"a", "b"}));
      EXPECT_FLOAT_EQ(static_cast<float>(MRKFFrameFetchReal(frame, "mood", 0)), -0.5f) << "summed mood -0.05";
    } else {
      EXPECT_EQ(asList(statement->terms()->fetchAtIndex(1))->count(), 0u);
      EXPECT_EQ(asList(MRKFFrameFetchTerm(frame, "chunks"))->count(), 0u);
      EXPECT_EQ(MRKFFrameFetchReal(frame, "mood", 1), 0.0) << "nothing won";
    }
  }
}

TEST_F(StageRecord, FailedTickReturnsChunksToThePoolAndKeepsLinks) {
  OutputCapture output(OutputCapture::kLogAndConsole);
  Ref<MRKCList> broken = makeChunk({"a", 5});
  broken->store(MRKCSymbol::symbolWithValue("loud").get(), kCTMChunkIntensity);
  record.size = 1;
  record.chunks->append(CTMCStageChunk::chunkWithTerms(broken.get()));
  take({"b", 1});
  record.links->append(makeChunk({"l", 1}));
  CTMTStageTick tick = CTMFStageMakeTick(&record, false, 250, false);
  EXPECT_FALSE(tick.statement);
  EXPECT_FALSE(tick.competed) << "a failed competition must not move the adaptive period";
  EXPECT_TRUE(output.saw("ctm : out of memory (tree)"));
  EXPECT_EQ(record.chunks->count(), 0u);
  EXPECT_EQ(record.pool->count(), 2u);
  EXPECT_EQ(record.links->count(), 1u);

  // The next tick runs as usual and carries the kept link.
  take({"c", 1});
  tick = CTMFStageMakeTick(&record, false, 250, false);
  ASSERT_TRUE(tick.statement);
  EXPECT_TRUE(tick.competed);
  MRKCFrame* frame = asFrame(tick.statement->terms()->fetchAtIndex(2));
  EXPECT_EQ(asList(MRKFFrameFetchTerm(frame, "links"))->count(), 1u);
  EXPECT_EQ(tick.winners, 1u);
}

TEST_F(StageRecord, Pacing) {
  record.period = 250;
  record.lastTick = 1000;
  EXPECT_FALSE(CTMFStageTickIsDue(&record, 1166));
  EXPECT_TRUE(CTMFStageTickIsDue(&record, 1167));
  record.period = 0;
  EXPECT_FALSE(CTMFStageTickIsDue(&record, 1000)) << "two clock ticks in one millisecond make one broadcast";
  EXPECT_TRUE(CTMFStageTickIsDue(&record, 1001));
}

TEST_F(StageRecord, AdaptivePeriod) {
  record.tickMin = 100;
  record.tickMax = 260;
  record.period = 260;
  EXPECT_TRUE(CTMFStageAdaptPeriod(&record, 10));  // the worst recent loss: down to "tick.min"
  EXPECT_EQ(record.period, 100u);
  record.period = 259;
  EXPECT_FALSE(CTMFStageAdaptPeriod(&record, 1)) << "244 is 15 ms away";
  EXPECT_EQ(record.period, 259u);
  record.period = 260;
  EXPECT_TRUE(CTMFStageAdaptPeriod(&record, 1)) << "244 is 16 ms away";
  EXPECT_EQ(record.period, 244u);
  EXPECT_TRUE(CTMFStageAdaptPeriod(&record, 0));
  EXPECT_EQ(record.period, 260u);
  record.tickMin = 0;
  EXPECT_FALSE(CTMFStageAdaptPeriod(&record, 10)) << "a fixed period";
}

}  // namespace

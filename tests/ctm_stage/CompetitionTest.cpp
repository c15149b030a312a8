// The up-tree competition over a stage record: value functions, pairings, tie-breaks, the
// probabilistic draw, the weight-centric cut, averaging, mood and the order of the winners.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/core/LLKFRandom.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "modules/ctm/stage/CTMFStageCompetition.h"
#include "modules/ctm/stage/CTMFStageIntake.h"
#include "tests/ctm_stage/StageTestKit.h"

namespace {

class Competition : public ::testing::Test {
protected:
  void SetUp() override { reset(); }

  void reset() {
    record = CTMTStage();
    posted.clear();
    ASSERT_TRUE(CTMFStageRecordInit(&record, "ctm"));
  }

  // Posts chunks in order; senders named in alphabetical order keep that order in every mode
  // but the weight-centric one.
  void post(const std::vector<ChunkSpec>& specs) {
    for (const auto& spec : specs) {
      Ref<MRKCList> chunk = makeChunk(spec);
      posted.push_back(chunk);
      ASSERT_TRUE(CTMFStageIntakeStatement(&record, carrierOf(chunk.get()).get()));
    }
  }

  Ref<MRKCList> compete() {
    Ref<MRKCList> submitted;
    EXPECT_TRUE(CTMFStageProcessUpTree(&record, &submitted));
    EXPECT_TRUE(submitted);
    return CTMFStageListFromList(&record);
  }

  CTMTStage record;
  std::vector<Ref<MRKCList>> posted;
};

TEST_F(Competition, ValueFunctions) {
  Ref<MRKCList> chunk = makeChunk({"a", -2.0, 0.5, -0.4});
  struct Case {
    uint32_t func;
    double value;
  };
  for (Case c : {Case{kCTMFuncAbsWeight, 2.0}, Case{kCTMFuncIntensity, 0.5}, Case{kCTMFuncIntensityMood, 0.1},
                 Case{kCTMFuncAbsMood, 0.4}, Case{kCTMFuncIntensityMood2, 0.3}, Case{9, 0.0}})
    EXPECT_NEAR(CTMFStageProcessUpTreeChunkValue(c.func, chunk.get()), c.value, 1e-12) << "func " << c.func;
  EXPECT_EQ(CTMFStageProcessUpTreeChunkValue(kCTMFuncIntensity, nullptr), 0.0);
}

TEST_F(Competition, PassPairsNeighboursAndCarriesAnOddLastChunk) {
  record.size = 1;
  post({{"a", 1}, {"b", 3}, {"c", 2}});
  ASSERT_TRUE(CTMFStageProcessUpTreeDeterministicPass(&record));
  auto chunks = competitorsOf(record);
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(senderOf(chunks[0]->terms()), "b");
  EXPECT_EQ(chunks[0]->count(), 2u);
  EXPECT_EQ(chunks[1]->terms(), posted[2].get()) << "the odd chunk goes on untouched";
  EXPECT_EQ(chunks[1]->count(), 1u);

  ASSERT_TRUE(CTMFStageProcessUpTreeDeterministicPass(&record));
  chunks = competitorsOf(record);
  ASSERT_EQ(chunks.size(), 1u);
  EXPECT_EQ(senderOf(chunks[0]->terms()), "b");
  EXPECT_EQ(chunks[0]->count(), 3u);
  EXPECT_TRUE(CTMFStageProcessUpTreeDeterministicPass(&record)) << "a single chunk passes at once";
}

TEST_F(Competition, TieBreaks) {
  const double tie = MRKKGlobals[1] / 2;
  for (uint64_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
    LLKFRandomSeed(seed);
    const bool tossPicksFirst = (LLKFRandomDrawUint() & 1u) != 0;
    struct Case {
      uint32_t esel;
      double second;
      const char* winner;
    };
    for (Case c : {Case{kCTMEselLeft, 1.0 + tie, "a"}, Case{kCTMEselRight, 1.0 + tie, "b"},
                   Case{kCTMEselToss, 1.0 + tie, tossPicksFirst ? "a" : "b"}, Case{kCTMEselLeft, 1.0 + 4 * tie, "b"},
                   Case{kCTMEselRight, 1.0 - 4 * tie, "a"}}) {
      reset();
      record.esel = c.esel;
      record.size = 1;
      post({{"a", 1.0}, {"b", c.second}});
      LLKFRandomSeed(seed);
      ASSERT_TRUE(CTMFStageProcessUpTreeDeterministic(&record));
      EXPECT_EQ(senderOf(competitorsOf(record)[0]->terms()), c.winner) << "esel " << c.esel << " second " << c.second;
    }
  }
}

TEST_F(Competition, ProbabilisticDrawDecides) {
  // Values 3 and 1: the first wins when the draw is below 0.75.
  int firstWins = 0;
  for (uint64_t seed = 1; seed <= 40; ++seed) {
    reset();
    record.mode = kCTMModeProbabilistic;
    record.size = 1;
    post({{"a", 3.0}, {"b", 1.0}});
    LLKFRandomSeed(seed);
    const bool expectFirst = LLKFRandomDraw() < 0.75;
    firstWins += expectFirst;
    LLKFRandomSeed(seed);
    ASSERT_TRUE(CTMFStageProcessUpTreeProbabilistic(&record));
    EXPECT_EQ(senderOf(competitorsOf(record)[0]->terms()), expectFirst ? "a" : "b") << "seed " << seed;
  }
  EXPECT_GT(firstWins, 0);
  EXPECT_LT(firstWins, 40);
}

TEST_F(Competition, ProbabilisticNegativeValuesHaveNoClaim) {
  // With intensity + mood as the value, a negative mood makes a negative value; such a chunk
  // never beats a positive one, and between two values without claim the second chunk wins.
  struct Case {
    double firstMood;
    double secondMood;
    const char* winner;
  };
  for (Case c : {Case{-1.0, 2.0, "b"}, Case{2.0, -1.0, "a"}, Case{-1.0, -3.0, "b"}, Case{0.0, 0.0, "b"}}) {
    for (uint64_t seed = 1; seed <= 20; ++seed) {
      reset();
      record.mode = kCTMModeProbabilistic;
      record.func = kCTMFuncIntensityMood;
      record.size = 1;
      post({{"a", 0, 0, c.firstMood}, {"b", 0, 0, c.secondMood}});
      LLKFRandomSeed(seed);
      ASSERT_TRUE(CTMFStageProcessUpTreeProbabilistic(&record));
      EXPECT_EQ(senderOf(competitorsOf(record)[0]->terms()), c.winner) << c.firstMood << " vs " << c.secondMood;
    }
  }
}

TEST_F(Competition, WinnerCarriesTheMeanOfWhatItAbsorbed) {
  record.size = 1;
  post({{"a", 3, 0.2, 0.3}, {"b", 2, 0.4, -0.6}, {"c", 1, 0.6, 0.6}});
  Ref<MRKCList> submitted;
  ASSERT_TRUE(CTMFStageProcessUpTree(&record, &submitted));
  Ref<MRKCList> winners = CTMFStageListFromList(&record);
  ASSERT_TRUE(winners);
  ASSERT_EQ(winners->count(), 1u);
  EXPECT_EQ(senderOf(winners->head()), "a");
  EXPECT_NEAR(realAt(winners->head(), kCTMChunkIntensity), 0.4, 1e-12);
  EXPECT_NEAR(realAt(winners->head(), kCTMChunkMood), 0.1, 1e-12);
  // The sums went into the winner's own copy: what was posted and submitted is untouched.
  EXPECT_EQ(realAt(posted[0].get(), kCTMChunkIntensity), 0.2);
  ASSERT_EQ(submitted->count(), 3u);
  EXPECT_EQ(submitted->head(), posted[0].get());
  EXPECT_EQ(realAt(submitted->head(), kCTMChunkIntensity), 0.2);
  // Every chunk object is back in the pool, emptied; losers of a pairing are dropped.
  EXPECT_EQ(record.chunks->count(), 0u);
  EXPECT_EQ(record.pool->count(), 1u);
}

TEST_F(Competition, WeightCentricKeepsTheHeaviest) {
  record.mode = kCTMModeWeightCentric;
  record.size = 2;
  post({{"a", -5}, {"b", 2}, {"c", 9}});
  Ref<MRKCList> submitted;
  ASSERT_TRUE(CTMFStageProcessUpTree(&record, &submitted));
  EXPECT_EQ(sendersOf(submitted.get()), (std::vector<std::string>{"c", "b", "a"})) << "kept in descending weight";
  ASSERT_EQ(record.pool->count(), 1u);
  EXPECT_EQ(static_cast<CTMCStageChunk*>(record.pool->head().get())->terms(), nullptr);
  Ref<MRKCList> winners = CTMFStageListFromList(&record);
  EXPECT_EQ(sendersOf(winners.get()), (std::vector<std::string>{"c", "b"}));
  EXPECT_EQ(record.pool->count(), 3u);
}

TEST_F(Competition, HowManyWin) {
  struct Case {
    uint32_t mode;
    size_t posted;
    size_t winners;
  };
  for (Case c :
       {Case{kCTMModeDeterministic, 7, 7}, Case{kCTMModeDeterministic, 8, 4}, Case{kCTMModeProbabilistic, 7, 7},
        Case{kCTMModeProbabilistic, 8, 4}, Case{kCTMModeDeterministic, 20, 5}, Case{kCTMModeWeightCentric, 20, 7},
        Case{kCTMModeDeterministic, 1, 1}, Case{kCTMModeDeterministic, 0, 0}}) {
    reset();
    record.mode = c.mode;
    record.size = 7;
    for (size_t i = 0; i < c.posted; ++i)
      post({{"s" + std::to_string(100 + i), 1.0 + static_cast<double>(i), 0.01 * static_cast<double>(i + 1)}});
    LLKFRandomSeed(7);
    Ref<MRKCList> winners = compete();
    ASSERT_TRUE(winners);
    EXPECT_EQ(winners->count(), c.winners) << "mode " << c.mode << ", " << c.posted << " posted";
    EXPECT_EQ(record.chunks->count(), 0u);
  }
}

TEST_F(Competition, EveryChunkWinsWhenNoMoreThanSize) {
  record.size = 3;
  post({{"a", 1, 0.1}, {"b", 1, 0.3}, {"c", 1, 0.2}});
  EXPECT_EQ(sendersOf(compete().get()), (std::vector<std::string>{"b", "c", "a"})) << "by descending intensity";
}

TEST_F(Competition, WinnersAreOrderedByTheIntensityTheyAreBroadcastWith) {
  // Pairs (a, b), (c, d) and the odd e. Summed, a+b (1.0) would lead c+d (0.7) and e (0.6); the
  // broadcast carries the means 0.5, 0.35 and 0.6, and is ordered by them.
  record.size = 3;
  record.func = kCTMFuncIntensity;
  post({{"a", 0, 0.9}, {"b", 0, 0.1}, {"c", 0, 0.35}, {"d", 0, 0.35}, {"e", 0, 0.6}});
  Ref<MRKCList> winners = compete();
  ASSERT_TRUE(winners);
  EXPECT_EQ(sendersOf(winners.get()), (std::vector<std::string>{"e", "a", "c"}));
  std::vector<double> intensities;
  for (const auto& winner : winners->terms()) intensities.push_back(realAt(winner.get(), kCTMChunkIntensity));
  EXPECT_TRUE(std::is_sorted(intensities.rbegin(), intensities.rend()));
}

TEST_F(Competition, MoodFactor) {
  record.mood = 0.25f;
  auto winners = [](std::vector<double> moods) {
    Ref<MRKCList> list = MRKCList::list();
    for (double mood : moods) list->append(makeChunk({"a", 1, 1, mood}).get());
    return list;
  };
  EXPECT_FLOAT_EQ(CTMFStageComputeMoodFactor(&record, winners({0.3, -0.5}).get()), -0.25f);
  EXPECT_FLOAT_EQ(CTMFStageComputeMoodFactor(&record, winners({0.5, -0.5}).get()), 0.25f);
  EXPECT_FLOAT_EQ(CTMFStageComputeMoodFactor(&record, winners({}).get()), 0.0f);
  record.mood = 0.0f;
  EXPECT_FLOAT_EQ(CTMFStageComputeMoodFactor(&record, winners({-1.0}).get()), 0.0f);
}

TEST_F(Competition, FailedPassLosesNoChunkObject) {
  // A chunk whose intensity is not a number cannot take its own copy when it wins.
  record.size = 1;
  Ref<MRKCList> broken = makeChunk({"a", 5});
  broken->store(MRKCSymbol::symbolWithValue("loud").get(), kCTMChunkIntensity);
  record.chunks->append(CTMCStageChunk::chunkWithTerms(broken.get()));
  post({{"b", 1}});
  Ref<MRKCList> submitted;
  EXPECT_FALSE(CTMFStageProcessUpTree(&record, &submitted));
  EXPECT_EQ(record.chunks->count(), 2u);
  CTMFStageReturnChunksToPool(&record);
  EXPECT_EQ(record.chunks->count(), 0u);
  EXPECT_EQ(record.pool->count(), 2u);
}

TEST_F(Competition, Comparators) {
  Ref<CTMCStageChunk> a = CTMCStageChunk::chunkWithTerms(makeChunk({"a", 1, 0.9}).get());
  Ref<CTMCStageChunk> b = CTMCStageChunk::chunkWithTerms(makeChunk({"b", 2, 0.5}).get());
  EXPECT_LT(CTMFStageUpTreeComparator(a.get(), b.get(), nullptr), 0);
  EXPECT_GT(CTMFStageUpTreeComparatorW(a.get(), b.get(), nullptr), 0);
  EXPECT_LT(CTMFStageUpTreeComparatorI(a.get(), b.get(), nullptr), 0);
  a->setCount(2);  // a mean intensity of 0.45
  EXPECT_GT(CTMFStageUpTreeComparatorI(a.get(), b.get(), nullptr), 0);
  EXPECT_EQ(CTMFStageUpTreeComparator(a.get(), a.get(), nullptr), 0);
}

}  // namespace

// The competition against the list-based algorithm it replaced, kept here as the reference: on
// seeded random ticks both must pick the same winners in the same order, with the same sums and
// the same random draws, and leave the record the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/core/LLKFRandom.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "modules/ctm/stage/CTMFStageCompetition.h"
#include "modules/ctm/stage/CTMFStageIntake.h"
#include "tests/ctm_stage/StageTestKit.h"

namespace reference {

CTMCStageChunk* chunkAt(const Ref<LLKBObject>& entry) { return static_cast<CTMCStageChunk*>(entry.get()); }

double realOf(MRKBTerm* term) {
  MRKCNumber* number = asNumber(term);
  return number ? number->real() : 0.0;
}

double realAt(const CTMCStageChunk* chunk, size_t index) {
  return realOf(chunk->terms() ? chunk->terms()->fetchAtIndex(index) : nullptr);
}

CTMCStageChunk* pickDeterministic(const CTMTStage* record, CTMCStageChunk* a, CTMCStageChunk* b) {
  double va = CTMFStageProcessUpTreeChunkValue(record->func, a->terms());
  double vb = CTMFStageProcessUpTreeChunkValue(record->func, b->terms());
  if (std::fabs(va - vb) <= MRKKGlobals[1]) {
    switch (record->esel) {
      case kCTMEselLeft:
        return a;
      case kCTMEselRight:
        return b;
      default:
        return (LLKFRandomDrawUint() & 1u) ? a : b;
    }
  }
  return va > vb ? a : b;
}

CTMCStageChunk* pickProbabilistic(const CTMTStage* record, CTMCStageChunk* a, CTMCStageChunk* b) {
  double va = std::max(CTMFStageProcessUpTreeChunkValue(record->func, a->terms()), 0.0);
  double vb = std::max(CTMFStageProcessUpTreeChunkValue(record->func, b->terms()), 0.0);
  double sum = va + vb;
  double p = 0.0;
  if (sum > 0.0) p = std::clamp(va >= vb ? va / sum : 1.0 - vb / sum, 0.0, 1.0);
  double r = LLKFRandomDraw();
  return p > r ? a : b;
}

bool absorb(CTMCStageChunk* winner, const CTMCStageChunk* a, const CTMCStageChunk* b) {
  double intensity = realAt(a, kCTMChunkIntensity) + realAt(b, kCTMChunkIntensity);
  double mood = realAt(a, kCTMChunkMood) + realAt(b, kCTMChunkMood);
  uint32_t count = a->count() + b->count();
  if (winner->count() == 1 && !winner->copyTerms()) return false;
  asNumber(winner->terms()->fetchAtIndex(kCTMChunkIntensity))->setReal(intensity);
  asNumber(winner->terms()->fetchAtIndex(kCTMChunkMood))->setReal(mood);
  winner->setCount(count);
  return true;
}

using Pick = CTMCStageChunk* (*)(const CTMTStage*, CTMCStageChunk*, CTMCStageChunk*);

bool runPass(CTMTStage* record, Pick pick) {
  LLKCObjectList& list = *record->chunks;
  size_t count = list.count();
  if (count < 2) return true;
  std::vector<Ref<LLKBObject>> survivors;
  auto entry = list.begin();
  for (size_t i = 0; i + 1 < count; i += 2, entry += 2) {
    CTMCStageChunk* winner = pick(record, chunkAt(entry[0]), chunkAt(entry[1]));
    if (!absorb(winner, chunkAt(entry[0]), chunkAt(entry[1]))) return false;
    survivors.emplace_back(winner);
  }
  if (count % 2 == 1) survivors.push_back(list.tail());
  list.clear();
  for (auto& survivor : survivors) list.append(std::move(survivor));
  return true;
}

bool processUpTree(CTMTStage* record, Ref<MRKCList>* out) {
  const size_t limit = std::max<uint32_t>(record->size, 1);
  LLKCObjectList& list = *record->chunks;
  if (record->chunksUnordered) {
    if (record->mode == kCTMModeDeterministic) list.sort(CTMFStageUpTreeComparator, nullptr);
    if (record->mode == kCTMModeWeightCentric) list.sort(CTMFStageUpTreeComparatorW, nullptr);
    record->chunksUnordered = false;
  }
  *out = MRKCList::list();
  for (const auto& entry : list) (*out)->append(chunkAt(entry)->terms());
  if (list.count() < 2) return true;
  if (record->mode == kCTMModeDeterministic || record->mode == kCTMModeProbabilistic) {
    Pick pick = record->mode == kCTMModeDeterministic ? pickDeterministic : pickProbabilistic;
    while (list.count() > limit)
      if (!runPass(record, pick)) return false;
    list.sort(CTMFStageUpTreeComparatorI, nullptr);
  }
  while (list.count() > limit) {
    Ref<LLKBObject> cut = list.removeTail();
    chunkAt(cut)->setTerms(nullptr);
    record->pool->append(cut);
  }
  return true;
}

}  // namespace reference

namespace {

struct TickShape {
  uint32_t mode, size, func, esel;
  size_t chunks;
};

TickShape drawShape() {
  static const uint32_t kEsels[] = {kCTMEselLeft, kCTMEselRight, kCTMEselToss};
  TickShape shape{};
  shape.mode = 1 + LLKFRandomDrawUint() % 3;
  shape.size = LLKFRandomDrawUint() % 10;
  shape.func = LLKFRandomDrawUint() % 5;
  shape.esel = kEsels[LLKFRandomDrawUint() % 3];
  shape.chunks = LLKFRandomDrawUint() % 200;
  return shape;
}

// Values from a small set make ties (within the tolerance, too); senders repeat, so the stable
// orders matter.
double drawValue() {
  static const double kValues[] = {-1.0, -0.25, 0.0, 0.25, 0.25 + 1e-7, 0.5, 1.0};
  return LLKFRandomDrawUint() % 2 ? kValues[LLKFRandomDrawUint() % 7] : LLKFRandomDraw() * 2.0 - 1.0;
}

std::vector<Ref<MRKCList>> drawChunks(size_t count, uint32_t mode) {
  std::vector<ChunkSpec> specs(count);
  for (ChunkSpec& spec : specs)
    spec = {"s" + std::to_string(LLKFRandomDrawUint() % (count + 1)), drawValue(), drawValue(), drawValue()};
  // Weight-centric intake expects the chunks in descending weight.
  if (mode == kCTMModeWeightCentric)
    std::stable_sort(specs.begin(), specs.end(),
                     [](const ChunkSpec& a, const ChunkSpec& b) { return a.weight > b.weight; });
  std::vector<Ref<MRKCList>> chunks;
  for (const ChunkSpec& spec : specs) chunks.push_back(makeChunk(spec));
  return chunks;
}

struct Outcome {
  bool competed = false;
  std::vector<MRKCList*> submitted;
  std::vector<MRKBTerm*> winnerSenders;
  std::vector<double> winnerIntensities, winnerMoods;
  uint64_t nextDraw = 0;
  size_t pool = 0;
};

Outcome tick(CTMTStage& record, const std::vector<Ref<MRKCList>>& chunks, uint64_t seed, bool useReference) {
  for (const auto& chunk : chunks) EXPECT_TRUE(CTMFStageIntakeStatement(&record, carrierOf(chunk.get()).get()));
  Outcome outcome;
  Ref<MRKCList> submitted;
  LLKFRandomSeed(seed);
  outcome.competed =
      useReference ? reference::processUpTree(&record, &submitted) : CTMFStageProcessUpTree(&record, &submitted);
  outcome.nextDraw = LLKFRandomDrawUint();
  for (const auto& term : submitted->terms()) outcome.submitted.push_back(asList(term.get()));
  Ref<MRKCList> winners = CTMFStageListFromList(&record);
  for (const auto& winner : winners->terms()) {
    outcome.winnerSenders.push_back(asList(winner.get())->fetchAtIndex(kCTMChunkSender));
    outcome.winnerIntensities.push_back(realAt(winner.get(), kCTMChunkIntensity));
    outcome.winnerMoods.push_back(realAt(winner.get(), kCTMChunkMood));
  }
  outcome.pool = record.pool->count();
  return outcome;
}

TEST(CompetitionReference, SameTicksAsTheListBasedCompetition) {
  for (uint64_t seed = 1; seed <= 300; ++seed) {
    LLKFRandomSeed(seed);
    TickShape shape = drawShape();
    CTMTStage record, referenceRecord;
    ASSERT_TRUE(CTMFStageRecordInit(&record, "ctm"));
    ASSERT_TRUE(CTMFStageRecordInit(&referenceRecord, "ctm"));
    for (CTMTStage* each : {&record, &referenceRecord}) {
      each->mode = shape.mode;
      each->size = shape.size;
      each->func = shape.func;
      each->esel = shape.esel;
    }
    // Several ticks on one record: the working set is reused from tick to tick.
    for (int round = 0; round < 3; ++round) {
      std::vector<Ref<MRKCList>> chunks = drawChunks(shape.chunks + static_cast<size_t>(round), shape.mode);
      Outcome got = tick(record, chunks, seed * 10 + round, false);
      Outcome expected = tick(referenceRecord, chunks, seed * 10 + round, true);
      SCOPED_TRACE(testing::Message() << "seed " << seed << " round " << round << " mode " << shape.mode << " size "
                                      << shape.size << " func " << shape.func << " esel " << shape.esel);
      EXPECT_EQ(got.competed, expected.competed);
      EXPECT_EQ(got.submitted, expected.submitted);
      EXPECT_EQ(got.winnerSenders, expected.winnerSenders);
      EXPECT_EQ(got.winnerIntensities, expected.winnerIntensities);
      EXPECT_EQ(got.winnerMoods, expected.winnerMoods);
      EXPECT_EQ(got.nextDraw, expected.nextDraw) << "the same random draws";
      EXPECT_EQ(got.pool, expected.pool);
      if (testing::Test::HasFailure()) return;
    }
  }
}

}  // namespace

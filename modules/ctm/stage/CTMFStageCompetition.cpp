#include "modules/ctm/stage/CTMFStageCompetition.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "framework/core/LLKFRandom.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "modules/ctm/stage/CTMCStageChunk.h"

namespace {

CTMCStageChunk* chunkOf(LLKBObject* object) { return dynamic_cast<CTMCStageChunk*>(object); }

// The record's lists hold nothing but stage chunks.
CTMCStageChunk* chunkAt(const Ref<LLKBObject>& entry) { return static_cast<CTMCStageChunk*>(entry.get()); }

MRKBTerm* termOf(const CTMCStageChunk* chunk, size_t index) {
  return chunk && chunk->terms() ? chunk->terms()->fetchAtIndex(index) : nullptr;
}

double realOf(MRKBTerm* term) {
  MRKCNumber* number = asNumber(term);
  return number ? number->real() : 0.0;
}

// The intensity a chunk is broadcast with: the mean over the chunks it stands for.
double meanIntensity(const CTMCStageChunk* chunk) {
  double intensity = realOf(termOf(chunk, kCTMChunkIntensity));
  return chunk && chunk->count() > 1 ? intensity / chunk->count() : intensity;
}

// At least one chunk wins a tick: a size of 0 would never end the passes.
size_t winnerLimit(const CTMTStage* record) { return std::max<uint32_t>(record->size, 1); }

CTMCStageChunk* pickDeterministic(const CTMTStage* record, CTMCStageChunk* a, CTMCStageChunk* b) {
  double va = CTMFStageProcessUpTreeChunkValue(record->func, a->terms());
  double vb = CTMFStageProcessUpTreeChunkValue(record->func, b->terms());
  if (std::fabs(va - vb) <= MRKKGlobals[1]) {
    switch (record->esel) {
      case kCTMEselLeft: return a;
      case kCTMEselRight: return b;
      default: return (LLKFRandomDrawUint() & 1u) ? a : b;
    }
  }
  return va > vb ? a : b;
}

// A value below zero has no claim on the stage: probabilities are shares of what is claimed,
// so they stay within [0, 1] whatever the signs of the values.
double claimOf(double value) { return value > 0.0 ? value : 0.0; }

CTMCStageChunk* pickProbabilistic(const CTMTStage* record, CTMCStageChunk* a, CTMCStageChunk* b) {
  double va = claimOf(CTMFStageProcessUpTreeChunkValue(record->func, a->terms()));
  double vb = claimOf(CTMFStageProcessUpTreeChunkValue(record->func, b->terms()));
  double sum = va + vb;
  double p = 0.0;  // nothing claimed: the second chunk wins
  if (sum > 0.0) p = std::clamp(va >= vb ? va / sum : 1.0 - vb / sum, 0.0, 1.0);
  double r = LLKFRandomDraw();
  return p > r ? a : b;
}

// The winner of a pairing absorbs the loser: intensities, moods and counts add up. The winner
// works on its own copy of the terms from its first win on.
bool absorb(CTMCStageChunk* winner, const CTMCStageChunk* a, const CTMCStageChunk* b) {
  double intensity = realOf(termOf(a, kCTMChunkIntensity)) + realOf(termOf(b, kCTMChunkIntensity));
  double mood = realOf(termOf(a, kCTMChunkMood)) + realOf(termOf(b, kCTMChunkMood));
  uint32_t count = a->count() + b->count();
  if (winner->count() == 1 && !winner->copyTerms()) return false;
  MRKCNumber* ownIntensity = asNumber(termOf(winner, kCTMChunkIntensity));
  MRKCNumber* ownMood = asNumber(termOf(winner, kCTMChunkMood));
  if (!ownIntensity || !ownMood) return false;
  ownIntensity->setReal(intensity);
  ownMood->setReal(mood);
  winner->setCount(count);
  return true;
}

using Pick = CTMCStageChunk* (*)(const CTMTStage*, CTMCStageChunk*, CTMCStageChunk*);

// Pairs neighbours and keeps each pair's winner in the pair's place. The list is replaced only
// when the whole pass succeeded, so a failed pass loses no chunk object.
bool runPass(CTMTStage* record, Pick pick) {
  if (!record || !record->chunks) return false;
  LLKCObjectList& list = *record->chunks;
  size_t count = list.count();
  if (count < 2) return true;
  try {
    std::vector<Ref<LLKBObject>> survivors;
    survivors.reserve((count + 1) / 2);
    auto entry = list.begin();
    for (size_t i = 0; i + 1 < count; i += 2, entry += 2) {
      CTMCStageChunk* a = chunkAt(entry[0]);
      CTMCStageChunk* b = chunkAt(entry[1]);
      CTMCStageChunk* winner = pick(record, a, b);
      if (!absorb(winner, a, b)) return false;
      survivors.emplace_back(winner);
    }
    if (count % 2 == 1) survivors.push_back(list.tail());
    list.clear();
    for (auto& survivor : survivors) list.append(std::move(survivor));
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool runPasses(CTMTStage* record, Pick pick) {
  if (!record || !record->chunks) return false;
  while (record->chunks->count() > winnerLimit(record))
    if (!runPass(record, pick)) return false;
  return true;
}

void emptyIntoPool(CTMTStage* record, const Ref<LLKBObject>& entry) {
  chunkAt(entry)->setTerms(nullptr);
  record->pool->append(entry);
}

}  // namespace

int CTMFStageUpTreeComparator(LLKBObject* a, LLKBObject* b, void*) {
  return MRKFCompareTerms(termOf(chunkOf(a), kCTMChunkSender), termOf(chunkOf(b), kCTMChunkSender));
}

int CTMFStageUpTreeComparatorW(LLKBObject* a, LLKBObject* b, void*) {
  return MRKFCompareTerms(termOf(chunkOf(b), kCTMChunkWeight), termOf(chunkOf(a), kCTMChunkWeight));
}

int CTMFStageUpTreeComparatorI(LLKBObject* a, LLKBObject* b, void*) {
  double ia = meanIntensity(chunkOf(a));
  double ib = meanIntensity(chunkOf(b));
  return ib < ia ? -1 : ib > ia ? 1 : 0;
}

double CTMFStageProcessUpTreeChunkValue(uint32_t func, MRKCList* terms) {
  auto term = [terms](size_t index) { return realOf(terms ? terms->fetchAtIndex(index) : nullptr); };
  switch (func) {
    case kCTMFuncAbsWeight: return std::fabs(term(kCTMChunkWeight));
    case kCTMFuncIntensity: return std::fabs(term(kCTMChunkIntensity));
    case kCTMFuncIntensityMood: return term(kCTMChunkIntensity) + term(kCTMChunkMood);
    case kCTMFuncAbsMood: return std::fabs(term(kCTMChunkMood));
    case kCTMFuncIntensityMood2: return term(kCTMChunkIntensity) + 0.5 * term(kCTMChunkMood);
    default: return 0.0;
  }
}

bool CTMFStageProcessUpTreeDeterministicPass(CTMTStage* record) { return runPass(record, pickDeterministic); }
bool CTMFStageProcessUpTreeProbabilisticPass(CTMTStage* record) { return runPass(record, pickProbabilistic); }
bool CTMFStageProcessUpTreeDeterministic(CTMTStage* record) { return runPasses(record, pickDeterministic); }
bool CTMFStageProcessUpTreeProbabilistic(CTMTStage* record) { return runPasses(record, pickProbabilistic); }

bool CTMFStageProcessUpTree(CTMTStage* record, Ref<MRKCList>* out) {
  if (out) *out = nullptr;
  if (!record || !record->chunks || !record->pool) return false;
  Ref<MRKCList> submitted = CTMFStageListToChunks(record);
  if (out) *out = submitted;
  LLKCObjectList& list = *record->chunks;
  if (list.count() < 2) return true;
  if (record->mode == kCTMModeDeterministic || record->mode == kCTMModeProbabilistic) {
    bool done = record->mode == kCTMModeDeterministic ? CTMFStageProcessUpTreeDeterministic(record)
                                                       : CTMFStageProcessUpTreeProbabilistic(record);
    if (!done) return false;
    list.sort(CTMFStageUpTreeComparatorI, nullptr);
  }
  try {
    while (list.count() > winnerLimit(record)) emptyIntoPool(record, list.removeTail());
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void CTMFStageReturnChunksToPool(CTMTStage* record) {
  if (!record || !record->chunks || !record->pool) return;
  try {
    for (const auto& entry : *record->chunks) emptyIntoPool(record, entry);
  } catch (const std::bad_alloc&) {
    // The pool only saves allocations; chunk objects that do not fit are simply freed.
  }
  record->chunks->clear();
}

float CTMFStageComputeMoodFactor(CTMTStage* record, MRKCList* winners) {
  if (!record || !winners || winners->count() == 0 || record->mood == 0.0f) return 0.0f;
  double sum = 0.0;
  for (const auto& winner : winners->terms()) {
    MRKCList* terms = asList(winner.get());
    sum += realOf(terms ? terms->tail() : nullptr);
  }
  return sum < 0.0 ? -record->mood : record->mood;
}

Ref<MRKCList> CTMFStageLinksToChunks(CTMTStage* record) {
  if (!record || !record->links) return nullptr;
  try {
    Ref<MRKCList> chunks = MRKCList::listWithCapacity(record->links->count());
    if (!chunks) return nullptr;
    for (const auto& entry : *record->links)
      if (auto* term = dynamic_cast<MRKBTerm*>(entry.get())) chunks->append(term);
    return chunks;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void CTMFStageOrderChunks(CTMTStage* record) {
  if (!record || !record->chunks || !record->chunksUnordered) return;
  // Stable, so chunks that compare equal keep their arrival order.
  if (record->mode == kCTMModeDeterministic) record->chunks->sort(CTMFStageUpTreeComparator, nullptr);
  if (record->mode == kCTMModeWeightCentric) record->chunks->sort(CTMFStageUpTreeComparatorW, nullptr);
  record->chunksUnordered = false;
}

Ref<MRKCList> CTMFStageListToChunks(CTMTStage* record) {
  if (!record || !record->chunks) return nullptr;
  CTMFStageOrderChunks(record);
  try {
    Ref<MRKCList> chunks = MRKCList::listWithCapacity(record->chunks->count());
    if (!chunks) return nullptr;
    for (const auto& entry : *record->chunks)
      if (MRKCList* terms = chunkAt(entry)->terms()) chunks->append(terms);
    return chunks;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

Ref<MRKCList> CTMFStageListFromList(CTMTStage* record) {
  if (!record || !record->chunks || !record->pool) return nullptr;
  Ref<MRKCList> winners;
  try {
    winners = MRKCList::listWithCapacity(record->chunks->count());
    for (const auto& entry : *record->chunks) {
      CTMCStageChunk* chunk = chunkAt(entry);
      MRKCList* terms = chunk->terms();
      if (winners && terms) {
        if (chunk->count() > 1) {
          // Counts above one only come with the chunk's own copy of these numbers.
          for (size_t index : {kCTMChunkIntensity, kCTMChunkMood})
            if (MRKCNumber* number = asNumber(terms->fetchAtIndex(index))) number->setReal(number->real() / chunk->count());
        }
        winners->append(terms);
      }
    }
  } catch (const std::bad_alloc&) {
    winners = nullptr;
  }
  CTMFStageReturnChunksToPool(record);
  return winners;
}

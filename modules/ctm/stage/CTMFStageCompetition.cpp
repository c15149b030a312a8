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

double valueOf(uint32_t func, double weight, double intensity, double mood) {
  switch (func) {
    case kCTMFuncAbsWeight:
      return std::fabs(weight);
    case kCTMFuncIntensity:
      return std::fabs(intensity);
    case kCTMFuncIntensityMood:
      return intensity + mood;
    case kCTMFuncAbsMood:
      return std::fabs(mood);
    case kCTMFuncIntensityMood2:
      return intensity + 0.5 * mood;
    default:
      return 0.0;
  }
}

double valueOf(const CTMTStage* record, const CTMTStageCompetitor& competitor) {
  return valueOf(record->func, competitor.weight, competitor.intensity, competitor.mood);
}

// The intensity a competitor is broadcast with: the mean over the chunks it stands for.
double meanIntensity(const CTMTStageCompetitor& competitor) {
  return competitor.count > 1 ? competitor.intensity / competitor.count : competitor.intensity;
}

bool pickDeterministic(const CTMTStage* record, const CTMTStageCompetitor& a, const CTMTStageCompetitor& b) {
  double va = valueOf(record, a);
  double vb = valueOf(record, b);
  if (std::fabs(va - vb) <= MRKKGlobals[kMRKGlobalsTieTolerance]) {
    switch (record->esel) {
      case kCTMEselLeft:
        return true;
      case kCTMEselRight:
        return false;
      default:
        return (LLKFRandomDrawUint() & 1u) != 0;
    }
  }
  return va > vb;
}

// A value below zero has no claim on the stage: probabilities are shares of what is claimed,
// so they stay within [0, 1] whatever the signs of the values.
double claimOf(double value) { return value > 0.0 ? value : 0.0; }

bool pickProbabilistic(const CTMTStage* record, const CTMTStageCompetitor& a, const CTMTStageCompetitor& b) {
  double va = claimOf(valueOf(record, a));
  double vb = claimOf(valueOf(record, b));
  double sum = va + vb;
  double p = 0.0;  // nothing claimed: the second chunk wins
  if (sum > 0.0) p = std::clamp(va >= vb ? va / sum : 1.0 - vb / sum, 0.0, 1.0);
  double r = LLKFRandomDraw();
  return p > r;
}

// True when the first of the pair wins.
using Pick = bool (*)(const CTMTStage*, const CTMTStageCompetitor&, const CTMTStageCompetitor&);

// The competitors of the chunk list, in its order; false without memory for them.
[[nodiscard]] bool loadCompetitors(CTMTStage* record) {
  std::vector<CTMTStageCompetitor>& competitors = record->competitors;
  competitors.clear();
  try {
    competitors.reserve(record->chunks->count());
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (const auto& entry : *record->chunks) {
    CTMCStageChunk* chunk = chunkAt(entry);
    competitors.push_back({chunk, chunk->count(), chunk->weight(), chunk->intensity(), chunk->mood()});
  }
  return true;
}

// One pass over the first count competitors, in place: each pair's winner, having absorbed the
// loser's intensity, mood and count, takes the pair's place; an odd last one goes on unchanged.
// Answers how many are left.
size_t runPass(CTMTStage* record, Pick pick, size_t count) {
  std::vector<CTMTStageCompetitor>& competitors = record->competitors;
  size_t left = 0;
  for (size_t i = 0; i + 1 < count; i += 2) {
    const CTMTStageCompetitor a = competitors[i];
    const CTMTStageCompetitor b = competitors[i + 1];
    CTMTStageCompetitor winner = pick(record, a, b) ? a : b;
    winner.intensity = a.intensity + b.intensity;
    winner.mood = a.mood + b.mood;
    winner.count = a.count + b.count;
    competitors[left++] = winner;
  }
  if (count % 2 == 1) competitors[left++] = competitors[count - 1];
  return left;
}

// Makes the first count competitors the chunk list, in their order, each chunk object absorbing
// what its competitor summed; the others are dropped. On failure the chunk list stays as it was.
[[nodiscard]] bool storeCompetitors(CTMTStage* record, size_t count) {
  std::vector<CTMTStageCompetitor>& competitors = record->competitors;
  for (size_t i = 0; i < count; ++i) {
    const CTMTStageCompetitor& competitor = competitors[i];
    if (competitor.count != competitor.chunk->count() &&  // it absorbed others
        !competitor.chunk->absorb(competitor.intensity, competitor.mood, competitor.count))
      return false;
  }
  try {
    std::vector<Ref<LLKBObject>> kept;
    kept.reserve(count);
    for (size_t i = 0; i < count; ++i) kept.emplace_back(competitors[i].chunk);
    record->chunks->clear();
    for (auto& chunk : kept) record->chunks->append(std::move(chunk));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// Passes over the flat competitors until no more than the limit are left (one pass at most
// when once is set); answers how many are left, or nothing when the competitors could not be
// read.
[[nodiscard]] bool runPasses(CTMTStage* record, Pick pick, bool once, size_t* left) {
  if (!record || !record->chunks || !loadCompetitors(record)) return false;
  size_t count = record->competitors.size();
  if (once) {
    if (count >= 2) count = runPass(record, pick, count);
  } else {
    while (count > winnerLimit(record)) count = runPass(record, pick, count);
  }
  *left = count;
  return true;
}

bool compete(CTMTStage* record, Pick pick, bool once) {
  size_t left = 0;
  return runPasses(record, pick, once, &left) && storeCompetitors(record, left);
}

int compareSenders(const CTMCStageChunk* a, const CTMCStageChunk* b) {
  return MRKFCompareTerms(termOf(a, kCTMChunkSender), termOf(b, kCTMChunkSender));
}
int compareWeights(const CTMCStageChunk* a, const CTMCStageChunk* b) {
  return MRKFCompareTerms(termOf(b, kCTMChunkWeight), termOf(a, kCTMChunkWeight));
}

// The orders of the modes over the record's chunk list, which holds nothing but stage chunks.
int bySender(LLKBObject* a, LLKBObject* b, void*) {
  return compareSenders(static_cast<CTMCStageChunk*>(a), static_cast<CTMCStageChunk*>(b));
}
int byWeight(LLKBObject* a, LLKBObject* b, void*) {
  return compareWeights(static_cast<CTMCStageChunk*>(a), static_cast<CTMCStageChunk*>(b));
}

// Chunks mostly arrive in order (senders post in turn, weight-centric intake keeps its order):
// one look along the list then spares the sort.
void sortUnlessSorted(LLKCObjectList& list, LLKTObjectOrdering ordering) {
  auto next = list.begin();
  if (next == list.end()) return;
  for (auto previous = next++; next != list.end(); previous = next++)
    if (ordering(next->get(), previous->get(), nullptr) < 0) {
      list.sort(ordering, nullptr);
      return;
    }
}

void emptyIntoPool(CTMTStage* record, const Ref<LLKBObject>& entry) {
  chunkAt(entry)->setTerms(nullptr);
  record->pool->append(entry);
}

// Returns the chunks past the winner limit to the pool, emptied. An empty pool (the usual case:
// intake took every pooled object) takes the whole list over and hands the kept chunks back,
// which allocates nothing however many are cut.
void cutToLimit(CTMTStage* record) {
  const size_t limit = winnerLimit(record);
  if (record->chunks->count() <= limit) return;
  if (!record->pool->isEmpty()) {
    while (record->chunks->count() > limit) emptyIntoPool(record, record->chunks->removeTail());
    return;
  }
  record->chunks.swap(record->pool);
  while (record->chunks->count() < limit) record->chunks->append(record->pool->removeHead());
  for (const auto& entry : *record->pool) chunkAt(entry)->setTerms(nullptr);
}

}  // namespace

int CTMFStageUpTreeComparator(LLKBObject* a, LLKBObject* b, void*) { return compareSenders(chunkOf(a), chunkOf(b)); }

int CTMFStageUpTreeComparatorW(LLKBObject* a, LLKBObject* b, void*) { return compareWeights(chunkOf(a), chunkOf(b)); }

int CTMFStageUpTreeComparatorI(LLKBObject* a, LLKBObject* b, void*) {
  double ia = meanIntensity(chunkOf(a));
  double ib = meanIntensity(chunkOf(b));
  return ib < ia ? -1 : ib > ia ? 1 : 0;
}

double CTMFStageProcessUpTreeChunkValue(uint32_t func, MRKCList* terms) {
  auto term = [terms](size_t index) { return realOf(terms ? terms->fetchAtIndex(index) : nullptr); };
  return valueOf(func, term(kCTMChunkWeight), term(kCTMChunkIntensity), term(kCTMChunkMood));
}

bool CTMFStageProcessUpTreeDeterministicPass(CTMTStage* record) { return compete(record, pickDeterministic, true); }
bool CTMFStageProcessUpTreeProbabilisticPass(CTMTStage* record) { return compete(record, pickProbabilistic, true); }
bool CTMFStageProcessUpTreeDeterministic(CTMTStage* record) { return compete(record, pickDeterministic, false); }
bool CTMFStageProcessUpTreeProbabilistic(CTMTStage* record) { return compete(record, pickProbabilistic, false); }

bool CTMFStageProcessUpTree(CTMTStage* record, Ref<MRKCList>* out) {
  if (out) *out = nullptr;
  if (!record || !record->chunks || !record->pool) return false;
  Ref<MRKCList> submitted = CTMFStageListToChunks(record);
  if (out) *out = submitted;
  LLKCObjectList& list = *record->chunks;
  if (list.count() < 2) return true;
  if (record->mode == kCTMModeDeterministic || record->mode == kCTMModeProbabilistic) {
    size_t left = 0;
    if (!runPasses(record, record->mode == kCTMModeDeterministic ? pickDeterministic : pickProbabilistic, false, &left))
      return false;
    auto winners = record->competitors.begin();
    std::stable_sort(
        winners, winners + static_cast<long>(left),
        [](const CTMTStageCompetitor& a, const CTMTStageCompetitor& b) { return meanIntensity(b) < meanIntensity(a); });
    if (!storeCompetitors(record, left)) return false;
  }
  try {
    cutToLimit(record);
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
  if (record->mode == kCTMModeDeterministic) sortUnlessSorted(*record->chunks, bySender);
  if (record->mode == kCTMModeWeightCentric) sortUnlessSorted(*record->chunks, byWeight);
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
            if (MRKCNumber* number = asNumber(terms->fetchAtIndex(index)))
              number->setReal(number->real() / chunk->count());
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

#include "modules/ctm/stage/CTMFStageTick.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFTime.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKFTerms.h"
#include "modules/ctm/stage/CTMFStageCompetition.h"

namespace {

const char* labelOf(const CTMTStage* record) {
  return record->labelSymbol ? record->labelSymbol->value().c_str() : "stage";
}

// The frame of a tick, keys in broadcast order. False when a key could not be stored.
bool fillFrame(MRKCFrame* frame, MRKCList* submitted, MRKCList* links, float mood, int64_t sinceLast,
               bool externalClock) {
  uint64_t tick = static_cast<uint64_t>(std::max<int64_t>(sinceLast, 0));
  bool stored = MRKFFrameStoreTerm(frame, "chunks", submitted) && MRKFFrameStoreTerm(frame, "links", links) &&
                MRKFFrameStoreReal(frame, "time", LLKFNowInS());
  if (externalClock)
    return stored && MRKFFrameStoreUint(frame, "tick", tick) && MRKFFrameStoreReal(frame, "mood", mood);
  return stored && MRKFFrameStoreReal(frame, "mood", mood) && MRKFFrameStoreUint(frame, "tick", tick);
}

Ref<MRKCStatement> makeStatement(CTMTStage* record, MRKCList* winners, MRKCList* submitted, MRKCList* links,
                                 int64_t sinceLast, bool externalClock) {
  if (!winners || !record->frameTemplate) return nullptr;
  Ref<MRKCFrame> frame = record->frameTemplate->copy();
  Ref<MRKCNumber> number = MRKCNumber::numberWithUint(record->tickCounter);
  if (!frame || !number) return nullptr;
  Ref<MRKCList> terms = MRKCList::listWithTerms({number.get(), winners, frame.get()});
  Ref<MRKCStatement> statement =
      terms ? MRKCStatement::statementWithLabel(record->tickLabel, terms.get(), 1.0) : nullptr;
  if (!statement || !statement->terms() || statement->terms()->count() != 3) return nullptr;
  float mood = CTMFStageComputeMoodFactor(record, winners);
  if (!fillFrame(frame.get(), submitted, links, mood, sinceLast, externalClock)) return nullptr;
  return statement;
}

}  // namespace

bool CTMFStageTickIsDue(const CTMTStage* record, int64_t now) {
  if (!record) return false;
  int64_t pace = static_cast<int64_t>((2 * static_cast<uint64_t>(record->period)) / 3);
  return now - record->lastTick > pace;
}

bool CTMFStageAdaptPeriod(CTMTStage* record, uint64_t lost) {
  if (!record || !record->drops || record->tickMin == 0) return false;
  record->drops->add(static_cast<uint32_t>(lost));
  uint64_t most = record->drops->max();
  float share = most == 0 ? 1.0f : 1.0f - static_cast<float>(lost) / static_cast<float>(most);
  float span = static_cast<float>(record->tickMax - record->tickMin) * share;
  uint32_t period = static_cast<uint32_t>(std::lround(span)) + record->tickMin;
  if (std::llabs(static_cast<long long>(period) - static_cast<long long>(record->period)) < 16) return false;
  record->period = period;
  return true;
}

CTMTStageTick CTMFStageMakeTick(CTMTStage* record, bool externalClock, int64_t sinceLast, bool verbose) {
  CTMTStageTick tick;
  if (!record || !record->chunks) return tick;
  tick.submitted = record->chunks->count();
  Ref<MRKCList> links = CTMFStageLinksToChunks(record);
  Ref<MRKCList> submitted;
  bool competed = CTMFStageProcessUpTree(record, &submitted);
  if (!links || !submitted || !competed) {
    LLKFConsolePrintf("%s : out of memory (tree)", labelOf(record));
    CTMFStageReturnChunksToPool(record);
    return tick;
  }
  tick.competed = true;
  Ref<MRKCList> winners = CTMFStageListFromList(record);
  tick.winners = winners ? winners->count() : 0;
  try {
    tick.statement = makeStatement(record, winners.get(), submitted.get(), links.get(), sinceLast, externalClock);
  } catch (const std::bad_alloc&) {
    tick.statement = nullptr;
  }
  if (!tick.statement && verbose) LLKFConsolePrintf("%s : out of memory", labelOf(record));
  return tick;
}

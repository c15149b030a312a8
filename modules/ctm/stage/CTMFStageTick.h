#pragma once
// One tick of the stage: pacing, the competition and the tick statement it broadcasts, and the
// adaptive period. The stage processor drives these; they touch nothing but the record.
#include <cstdint>

#include "framework/substrate/MRKCStatement.h"
#include "modules/ctm/stage/CTMTStage.h"

// What a tick produced: the statement to broadcast (null when the tick failed; the failure is
// already reported) and how many chunks competed and won.
struct CTMTStageTick {
  Ref<MRKCStatement> statement;
  size_t submitted = 0;
  size_t winners = 0;
  // False when the competition could not be run: its losses say nothing about the pace.
  bool competed = false;
};

extern "C" {

// True when a tick at now (LLKFNowInMS) is more than two thirds of a period after the last
// processed tick; under an external clock (period 0) any later millisecond is.
bool CTMFStageTickIsDue(const CTMTStage* record, int64_t now);

// Adds the chunks lost in a tick to the drop series and derives the period from them: the more
// of the recent losses this one is, the closer the period gets to "tick.min". Changes of less
// than 16 ms are ignored. True when the period changed (the timer must follow).
bool CTMFStageAdaptPeriod(CTMTStage* record, uint64_t lost);

}  // extern "C"

// Runs the competition over the chunks gathered since the last tick and builds the tick
// statement [tick counter, winners, frame]: the frame template, then "chunks", "links", "time",
// "mood" and "tick" (under an external clock "tick" comes before "mood"). sinceLast is the time
// since the last processed tick, in ms. Afterwards every chunk object is back in the pool, even
// when the tick failed; the link list is left as it is, for the caller to empty once the
// statement went out. Failures are printed with the stage's label: a failed competition always,
// the rest only when verbose.
CTMTStageTick CTMFStageMakeTick(CTMTStage* record, bool externalClock, int64_t sinceLast, bool verbose);

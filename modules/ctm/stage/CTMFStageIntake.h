#pragma once
// How the stage takes in the chunks posted to it.
#include "framework/substrate/MRKCList.h"
#include "modules/ctm/stage/CTMTStage.h"

extern "C" {

// True for a CTM chunk the competition can work on: a list of eight terms with a sender symbol,
// a tick number, a uid symbol, a kind and a gist, and finite numbers for weight, intensity and
// mood.
bool CTMFStageChunkIsWellFormed(const MRKCList* chunk);

// Takes the chunk carried by one statement of a pass squib into the next tick's competition
// (put in the order of the mode when the competition reads them). A malformed chunk is refused with a log line; a
// chunk older than "tlag" ticks is skipped. True when the chunk was taken.
bool CTMFStageIntakeStatement(CTMTStage* record, MRKBTerm* statement);

}  // extern "C"

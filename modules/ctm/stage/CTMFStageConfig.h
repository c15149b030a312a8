#pragma once
// The stage's configuration: the symbol tables of its properties and the function that reads
// the properties into the stage's record.
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKFTerms.h"
#include "modules/ctm/stage/CTMTStage.h"

extern "C" {

// "mode": "deterministic" 1, "probabilistic" 2, "weightcentric" 3.
extern const MRKTFlagName kCTMModes[3];
// "func": "abs_weight" 0, "intensity" 1, "intensity_mood" 2, "abs_mood" 3, "intensity_mood_2" 4.
extern const MRKTFlagName kCTMFuncs[5];
// "esel": "left" 1, "right" 2, "toss" 4.
extern const MRKTFlagName kCTMEsels[3];

// Reads "tick", "mode", "size", "tlag", "tick.min", "mood", "drop", "intr", "func" and "esel"
// into the record and rebuilds its frame template ({"drop", "intr"}; no "drop" in the
// probabilistic mode). Values that would make the stage spin or stall are clamped with a log
// line: a period of 0 becomes 1 ms, a "tick.min" above "tick" becomes "tick", a size of 0
// becomes 1. Answers 0 when the template was stored, else an error number (EINVAL for no record,
// ENOMEM without memory).
int CTMFStageUpdateConfig(CTMTStage* record, MRKCFrame* properties);

}  // extern "C"

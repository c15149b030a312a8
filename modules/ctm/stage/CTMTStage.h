#pragma once
// The stage's private record: what the stage collects between ticks, its configuration and the
// template of its broadcasts. The competition functions work on it; the stage owns it.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/LLKCObjectList.h"
#include "framework/core/NRKCUintSeries.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCSymbol.h"

// Competition modes (kCTMModes).
enum : uint32_t { kCTMModeDeterministic = 1, kCTMModeProbabilistic = 2, kCTMModeWeightCentric = 3 };
// Value functions (kCTMFuncs).
enum : uint32_t {
  kCTMFuncAbsWeight = 0,
  kCTMFuncIntensity = 1,
  kCTMFuncIntensityMood = 2,
  kCTMFuncAbsMood = 3,
  kCTMFuncIntensityMood2 = 4,
};
class CTMCStageChunk;

// One competitor during the competition's passes: its chunk object, how many posted chunks it
// stands for, and the values a pairing reads and sums. The passes work on these alone and write
// the sums into the chunk objects once, for the chunks that are left.
struct CTMTStageCompetitor {
  CTMCStageChunk* chunk = nullptr;  // held by the record's chunk list meanwhile
  uint32_t count = 1;
  double weight = 0.0;
  double intensity = 0.0;
  double mood = 0.0;
};

// Tie-breaks (kCTMEsels).
enum : uint32_t { kCTMEselLeft = 1, kCTMEselRight = 2, kCTMEselToss = 4 };

struct CTMTStage {
  Ref<LLKCObjectList> chunks;    // CTMCStageChunk: the competitors of the next tick
  bool chunksUnordered = false;  // chunks taken in since they were last put in the mode's order
  Ref<LLKCObjectList> pool;      // CTMCStageChunk: emptied chunk objects kept for reuse
  Ref<LLKCObjectList> links;     // MRKCList: chunks flashed over links since the last tick
  uint32_t mode = kCTMModeDeterministic;
  uint32_t size = 7;     // how many chunks win a tick
  uint32_t tlag = 0;     // largest accepted chunk age in ticks; 0 accepts all
  uint32_t period = 0;   // ms; 0 under an external clock
  uint32_t tickMin = 0;  // ms; 0 keeps the period fixed
  uint32_t tickMax = 0;  // ms; the configured period
  float mood = 0.0f;
  float drop = 0.8f;
  float intr = 100.0f;
  uint32_t func = kCTMFuncAbsWeight;
  uint32_t esel = kCTMEselLeft;
  Ref<MRKCSymbol> labelSymbol;
  std::string tickLabel;                         // "<label>.tick"; empty when the record could not be made
  std::string passLabel;                         // "<label>.pass"
  Ref<MRKCSymbol> clockSymbol;                   // label of the external clock, or null for the own timer
  uint64_t tickCounter = 0;                      // the number the next timer tick broadcasts
  Ref<MRKCFrame> frameTemplate;                  // {"drop", "intr"}, copied into every broadcast
  int64_t lastTick = 0;                          // LLKFNowInMS of the last processed tick
  Ref<NRKCUintSeries> drops;                     // chunks lost in each recent tick
  std::vector<CTMTStageCompetitor> competitors;  // the passes' working set, reused from tick to tick
};

// Makes the record's lists and labels for a stage of that label; false (record left unusable:
// no tick label) when something could not be made.
bool CTMFStageRecordInit(CTMTStage* record, const std::string& label);

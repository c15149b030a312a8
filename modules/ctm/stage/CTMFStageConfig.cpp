#include "modules/ctm/stage/CTMFStageConfig.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>
#include <new>

#include "framework/core/LLKFLog.h"

const MRKTFlagName kCTMModes[3] = {
    {"deterministic", kCTMModeDeterministic},
    {"probabilistic", kCTMModeProbabilistic},
    {"weightcentric", kCTMModeWeightCentric},
};

const MRKTFlagName kCTMFuncs[5] = {
    {"abs_weight", kCTMFuncAbsWeight},
    {"intensity", kCTMFuncIntensity},
    {"intensity_mood", kCTMFuncIntensityMood},
    {"abs_mood", kCTMFuncAbsMood},
    {"intensity_mood_2", kCTMFuncIntensityMood2},
};

const MRKTFlagName kCTMEsels[3] = {
    {"left", kCTMEselLeft},
    {"right", kCTMEselRight},
    {"toss", kCTMEselToss},
};

namespace {

constexpr uint32_t kDefaultPeriod = 250;
constexpr uint32_t kDefaultSize = 7;

const char* labelOf(const CTMTStage* record) {
  return record->labelSymbol ? record->labelSymbol->value().c_str() : "stage";
}

// The property as a number; a value of another kind is told, naming it, and the fallback used.
double fetchReal(const CTMTStage* record, const MRKCFrame* properties, std::string_view key, double fallback) {
  MRKBTerm* term = MRKFFrameFetchTerm(properties, key);
  if (!term) return fallback;
  if (MRKCNumber* number = asNumber(term)) return number->real();
  LLKFLog("%s : \"%.*s\" must be a number, not %s; using %g", labelOf(record), int(key.size()), key.data(),
          term->text().c_str(), fallback);
  return fallback;
}

// The property as a whole number of at least 0 (clamped to 32 bits); anything else is told,
// naming the value given, and the fallback used.
uint32_t fetchUint32(const CTMTStage* record, const MRKCFrame* properties, std::string_view key, uint32_t fallback) {
  MRKBTerm* term = MRKFFrameFetchTerm(properties, key);
  if (!term) return fallback;
  MRKCNumber* number = asNumber(term);
  const double value = number ? number->real() : -1;
  if (!number || !(value >= 0) || value != std::floor(value)) {
    LLKFLog("%s : \"%.*s\" must be a whole number of at least 0, not %s; using %u", labelOf(record), int(key.size()),
            key.data(), term->text().c_str(), fallback);
    return fallback;
  }
  return static_cast<uint32_t>(std::min<uint64_t>(number->uint(), std::numeric_limits<uint32_t>::max()));
}

uint32_t decode(const MRKCFrame* properties, std::string_view key, const MRKTFlagName* rows, size_t count,
                uint32_t fallback) {
  return static_cast<uint32_t>(
      MRKFDecodeTermAsFlagWithDefault(MRKFFrameFetchTerm(properties, key), rows, count, fallback));
}

void readTiming(CTMTStage* record, const MRKCFrame* properties) {
  if (MRKCSymbol* clock = asSymbol(MRKFFrameFetchTerm(properties, "tick"))) {
    record->clockSymbol = Ref<MRKCSymbol>(clock);
    record->period = record->tickMin = record->tickMax = 0;
    return;
  }
  record->clockSymbol = nullptr;
  uint32_t period = fetchUint32(record, properties, "tick", kDefaultPeriod);
  if (period == 0) {
    LLKFLog("%s : \"tick\" 0 would spin the stage, using 1 ms", labelOf(record));
    period = 1;
  }
  uint32_t tickMin = fetchUint32(record, properties, "tick.min", 0);
  if (tickMin > period) {
    LLKFLog("%s : \"tick.min\" %u is above \"tick\" %u, using %u", labelOf(record), tickMin, period, period);
    tickMin = period;
  }
  record->period = record->tickMax = period;
  record->tickMin = tickMin;
}

}  // namespace

int CTMFStageUpdateConfig(CTMTStage* record, MRKCFrame* properties) {
  if (!record) return EINVAL;
  readTiming(record, properties);
  record->mode = decode(properties, "mode", kCTMModes, 3, kCTMModeDeterministic);
  record->size = fetchUint32(record, properties, "size", kDefaultSize);
  if (record->size == 0) {
    LLKFLog("%s : \"size\" 0 would let no chunk win, using 1", labelOf(record));
    record->size = 1;
  }
  record->tlag = fetchUint32(record, properties, "tlag", 0);
  record->mood = static_cast<float>(fetchReal(record, properties, "mood", 0.0));
  record->drop = static_cast<float>(fetchReal(record, properties, "drop", 0.8));
  record->intr = static_cast<float>(fetchReal(record, properties, "intr", 100.0));
  record->func = decode(properties, "func", kCTMFuncs, 5, kCTMFuncAbsWeight);
  record->esel = decode(properties, "esel", kCTMEsels, 3, kCTMEselLeft);

  try {
    Ref<MRKCFrame> frame = MRKCFrame::frameWithCapacity(3);
    if (!frame) return ENOMEM;
    if (record->mode != kCTMModeProbabilistic) MRKFFrameStoreReal(frame.get(), "drop", record->drop);
    int stored = MRKFFrameStoreReal(frame.get(), "intr", record->intr) ? 0 : ENOMEM;
    record->frameTemplate = std::move(frame);
    return stored;
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}

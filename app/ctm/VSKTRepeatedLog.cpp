#include "app/ctm/VSKTRepeatedLog.h"

#include "framework/core/LLKFLog.h"

VSKTRepeatedLog::VSKTRepeatedLog(std::string name, Clock::duration interval)
    : name_(std::move(name)), interval_(interval) {}

void VSKTRepeatedLog::report(const std::string& kind, const std::string& text, Clock::time_point now) {
  auto [at, first] = kinds_.try_emplace(kind);
  Tally& tally = at->second;
  if (first) {
    tally.told = now;
    LLKFLog("%s : %s", name_.c_str(), text.c_str());
    return;
  }
  ++tally.untold;
  if (now - tally.told < interval_) return;
  tally.told = now;
  tell(kind, tally);
}

void VSKTRepeatedLog::flush() {
  for (auto& [kind, tally] : kinds_) tell(kind, tally);
}

void VSKTRepeatedLog::tell(const std::string& kind, Tally& tally) {
  if (tally.untold == 0) return;
  LLKFLog("%s : %zu more: %s", name_.c_str(), tally.untold, kind.c_str());
  tally.untold = 0;
}

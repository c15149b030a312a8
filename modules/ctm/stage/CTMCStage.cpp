#include "modules/ctm/stage/CTMCStage.h"

#include <new>

#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFLog.h"
#include "framework/core/LLKFTime.h"
#include "framework/substrate/MRKCFlash.h"
#include "framework/substrate/MRKCKnowledge.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "modules/ctm/stage/CTMFStageConfig.h"
#include "modules/ctm/stage/CTMFStageIntake.h"
#include "modules/ctm/stage/CTMFStageTick.h"

namespace {

// The disclose flags the stage follows its labels with.
// Among timer selectors due together, the stage's tick runs at this priority.
constexpr int kStageTimerPriority = 3;

MRKTClassRegistrar<CTMCStage> registrar("CTMCStage");

}  // namespace

CTMCStage::CTMCStage(const std::string& guid, const std::string& label, const std::string& alias,
                     Ref<MRKCFrame> properties)
    : MRKBElemental(guid, label, alias, std::move(properties)) {
  if (!CTMFStageRecordInit(&record_, this->label())) LLKFLog("%s : the stage could not be made", this->label().c_str());
}

Ref<CTMCStage> CTMCStage::usableOrNull(Ref<CTMCStage> stage) { return stage->isUsable() ? stage : nullptr; }

Ref<CTMCStage> CTMCStage::stageWithGuid(const std::string& guid, const std::string& label, const std::string& alias,
                                        Ref<MRKCFrame> properties) {
  return usableOrNull(adoptRef(new CTMCStage(guid, label, alias, std::move(properties))));
}

Ref<CTMCStage> CTMCStage::stageWithGuid(const std::string& guid, const std::string& label, const std::string& alias,
                                        const MRKCManifesto& manifesto) {
  return stageWithGuid(guid, label, alias, Ref<MRKCFrame>(manifesto.properties()));
}

Ref<CTMCStage> CTMCStage::stageWithManifesto(const MRKCManifesto& manifesto) {
  MRKCSymbol* alias = MRKFFrameFetchSymbol(manifesto.properties(), "alias");
  return stageWithGuid(MRKFMakeGuid(), manifesto.label(), alias ? alias->value() : std::string(), manifesto);
}

void CTMCStage::onQueryingStatistics(MRKTStatistics* statistics) {
  if (statistics) *statistics = MRKTStatistics{0, 0, 0};
}

bool CTMCStage::onSavingKnowledge(MRKCKnowledge* container) {
  Ref<MRKCManifesto> manifesto = MRKCManifesto::manifestoWithLabel(label(), properties());
  return container && manifesto && container->store(manifesto.get()) == 0;
}

void CTMCStage::onAttached() {
  MRKCSubstrate* host = substrate();
  if (!host || !isUsable()) return;
  setNosy(false);
  setChatty(false);
  CTMFStageUpdateConfig(&record_, properties());
  follow(record_.passLabel);
  if (record_.clockSymbol) follow(record_.clockSymbol->value());
  else scheduleTimer();
  record_.lastTick = LLKFNowInMS();
  onTicked();
}

void CTMCStage::onDetached() {
  MRKCSubstrate* host = substrate();
  if (!host || !isUsable()) return;
  host->withhold(record_.passLabel, guid());
  if (record_.clockSymbol) host->withhold(record_.clockSymbol->value(), guid());
  else host->runtime()->unschedule(guid());
}

void CTMCStage::follow(const std::string& label) {
  if (!substrate()->disclose(label, guid()))
    LLKFLog("%s : could not follow %s", this->label().c_str(), label.c_str());
}

void CTMCStage::scheduleTimer() {
  // The timer holds the stage until detaching unschedules it.
  Ref<CTMCStage> self(this);
  bool scheduled = substrate()->runtime()->schedule(
      guid(), [self] { self->onTicked(); }, kStageTimerPriority, record_.period);
  if (!scheduled) LLKFLog("%s : the stage's timer could not be scheduled", label().c_str());
}

void CTMCStage::onTicked() {
  // Under an external clock only the clock's ticks count: with its period of 0 the pacing
  // check alone would let this call through as soon as the millisecond turns.
  if (!isUsable() || record_.clockSymbol) return;
  int64_t now = LLKFNowInMS();
  if (!CTMFStageTickIsDue(&record_, now)) return;
  processTick(now, false);
}

void CTMCStage::onReceivedSquib(MRKCSquib* squib, const std::string& source) {
  if (!squib || !squib->statements() || !isUsable()) return;
  if (squib->label() == record_.passLabel) {
    for (const auto& statement : squib->statements()->terms()) CTMFStageIntakeStatement(&record_, statement.get());
  } else if (record_.clockSymbol && squib->label() == record_.clockSymbol->value()) {
    onExternalTick(squib);
  }
}

void CTMCStage::onExternalTick(MRKCSquib* squib) {
  MRKCStatement* statement = asStatement(squib->statements()->head());
  MRKCNumber* number = asNumber(statement && statement->terms() ? statement->terms()->head() : nullptr);
  if (!number) return;
  int64_t now = LLKFNowInMS();
  if (!CTMFStageTickIsDue(&record_, now)) return;
  record_.tickCounter = number->uint();
  processTick(now, true);
}

void CTMCStage::onReceivedFlash(MRKCFlash* flash, const std::string& source) {
  MRKCFunc* functor = flash ? flash->functor() : nullptr;
  MRKBTerm* chunk = functor && functor->terms() ? functor->terms()->head() : nullptr;
  if (!chunk || !isUsable()) return;
  record_.links->append(Ref<LLKBObject>(chunk));
}

void CTMCStage::processTick(int64_t now, bool externalClock) {
  CTMTStageTick tick = CTMFStageMakeTick(&record_, externalClock, now - record_.lastTick, verbose());
  if (tick.statement && publishTick(tick.statement.get())) {
    // The links went out with this tick; after a failed one they wait for the next.
    record_.links->clear();
    if (!externalClock) ++record_.tickCounter;
  }
  if (!externalClock && tick.competed && CTMFStageAdaptPeriod(&record_, tick.submitted - tick.winners)) {
    substrate()->runtime()->unschedule(guid());
    scheduleTimer();
  }
  record_.lastTick = now;
}

bool CTMCStage::publishTick(MRKCStatement* statement) {
  MRKCSubstrate* host = substrate();
  if (!host) return false;
  try {
    Ref<MRKCSquib> squib = MRKCSquib::squibWithLabel(statement->label(), statement, host->configs().ttl);
    return squib && host->publish(squib.get(), guid());
  } catch (const std::bad_alloc&) {
    if (verbose()) LLKFConsolePrintf("%s : out of memory", label().c_str());
    return false;
  }
}

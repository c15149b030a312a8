#pragma once
// The stage of a CTM: collects the chunks that actors post on "<label>.pass" and the chunks
// flashed over links, runs the up-tree competition on every tick (its own timer, or the ticks
// of an external clock) and broadcasts the winners with the tick's frame on "<label>.tick".
#include "framework/substrate/MRKBElemental.h"
#include "framework/substrate/MRKCClassRegistry.h"
#include "modules/ctm/stage/CTMTStage.h"

class CTMCStage : public MRKBElemental {
public:
  // Null when the stage's record cannot be made.
  [[nodiscard]] static Ref<CTMCStage> stageWithManifesto(const MRKCManifesto& manifesto);
  [[nodiscard]] static Ref<CTMCStage> stageWithGuid(const std::string& guid, const std::string& label,
                                                    const std::string& alias, const MRKCManifesto& manifesto);
  [[nodiscard]] static Ref<CTMCStage> stageWithGuid(const std::string& guid, const std::string& label,
                                                    const std::string& alias, Ref<MRKCFrame> properties);

  void onQueryingStatistics(MRKTStatistics* statistics) override;
  bool onSavingKnowledge(MRKCKnowledge* container) override;
  // The timer tick.
  void onTicked();
  void onAttached() override;
  void onDetached() override;
  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override;
  void onReceivedQuery(MRKCQuery* query, const std::string& source) override {}
  void onReceivedScrap(MRKCScrap* scrap, const std::string& source) override {}
  void onReceivedFlash(MRKCFlash* flash, const std::string& source) override;

private:
  friend class MRKTClassRegistrar<CTMCStage>;

  CTMCStage(const std::string& guid, const std::string& label, const std::string& alias, Ref<MRKCFrame> properties);
  bool isUsable() const override { return !record_.tickLabel.empty(); }
  [[nodiscard]] static Ref<CTMCStage> usableOrNull(Ref<CTMCStage> stage);

  // Discloses the label; a refusal goes to the log.
  void follow(const std::string& label);
  void scheduleTimer();
  void onExternalTick(MRKCSquib* squib);
  // Steps shared by timer and clock ticks once the pacing check passed.
  void processTick(int64_t now, bool externalClock);
  bool publishTick(MRKCStatement* statement);

  CTMTStage record_;
};

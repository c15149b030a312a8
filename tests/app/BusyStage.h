#pragma once
// A busy CTM in this process, on the shared substrate: a stage labelled "ctm" ticking every
// tickMs and as many tweeting actors as asked (each tweets every third tick), as a solution
// with that many copies of the demonstration's "chatter" would run. Detached when it goes.
#include <string>
#include <vector>

#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "modules/ctm/actors/CTMTActorShell.h"
#include "modules/ctm/stage/CTMCStage.h"
#include "modules/demo/DEMCTweeter.h"

class BusyStage {
public:
  BusyStage(size_t actors, uint32_t tickMs) {
    MRKCSubstrate* substrate = MRKCSubstrate::shared();
    Ref<CTMCStage> stage =
        CTMCStage::stageWithGuid({}, "ctm", {}, frame("{\"tick\": " + std::to_string(tickMs) + ", \"size\": 4}"));
    if (!stage || !substrate->attach(stage.get(), false)) return;
    processors_.push_back(stage);
    for (size_t n = 0; n < actors; ++n) {
      Ref<MRKBProcessor> actor = CTMFActorMake<DEMCTweeter>(
          {}, "chatter" + std::to_string(n), {},
          frame("{\"stage\": \"ctm\", \"every\": 3, \"weight\": 0.8, \"topics\": [weather(sunny), "
                "weather(rain), news(cats, 3), hum(\"la la\")]}"));
      if (!actor || !substrate->attach(actor.get(), false)) return;
      processors_.push_back(actor);
    }
    made_ = true;
  }
  ~BusyStage() {
    for (const Ref<MRKBProcessor>& processor : processors_)
      (void)MRKCSubstrate::shared()->detach(processor.get(), false);
  }
  BusyStage(const BusyStage&) = delete;
  BusyStage& operator=(const BusyStage&) = delete;

  // The stage and every actor attached.
  bool made() const { return made_; }

private:
  static Ref<MRKCFrame> frame(const std::string& text) {
    Ref<MRKBTerm> term = MRKCReader::reader()->readTermFromString(text);
    return Ref<MRKCFrame>(term ? asFrame(term.get()) : nullptr);
  }

  std::vector<Ref<MRKBProcessor>> processors_;
  bool made_ = false;
};

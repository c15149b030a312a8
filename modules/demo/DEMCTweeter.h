#pragma once
// A demonstration actor that talks: every "every" ticks (default 2) it tweets one of its
// "topics" (a list of terms), picked at random, with a weight around "weight" (default 1.0)
// and a mood between -0.5 and 0.5.
#include "modules/ctm/actors/CTMBPLNActor.h"

class DEMCTweeter : public CTMBPLNActor {
public:
  using CTMBPLNActor::CTMBPLNActor;
  void onReceivedTick(MRKCList* winners, uint64_t tick, MRKCFrame* frame) override;
};

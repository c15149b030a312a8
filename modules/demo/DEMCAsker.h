#pragma once
// A demonstration actor that asks: every "every" ticks (default 4) it asks the next of its
// "questions" (a list of terms, in turn) with a "timeout" (default 2 s), and thanks each reply
// that wins with "kudos" (default 1.0). With "links" on, the repliers it thanks earn links, so
// that its later questions of the same shape go to them directly.
#include "modules/ctm/actors/CTMBPLNActor.h"

class DEMCAsker : public CTMBPLNActor {
public:
  using CTMBPLNActor::CTMBPLNActor;
  void onReceivedTick(MRKCList* winners, uint64_t tick, MRKCFrame* frame) override;
  void onReceivedReply(MRKBTerm* reply, MRKCSymbol* query) override;
  using CTMBPLNActor::onReceivedReply;

private:
  size_t next_ = 0;
};

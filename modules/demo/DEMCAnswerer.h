#pragma once
// A demonstration actor that answers: "knows" is a list of [question, answer] pairs; every
// query it sees, on the stage or flashed to it over a link, whose gist matches a question
// gets the answer as a reply, weighted "weight" (default 1.0).
#include "modules/ctm/actors/CTMBPLNActor.h"

class DEMCAnswerer : public CTMBPLNActor {
public:
  using CTMBPLNActor::CTMBPLNActor;
  void onReceivedTick(MRKCList* winners, uint64_t tick, MRKCFrame* frame) override;
  void onReceivedLink(MRKCList* chunks, uint64_t tick, MRKCFrame* frame) override;

private:
  void answer(MRKCList* chunks);
};

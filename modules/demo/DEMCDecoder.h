#pragma once
// A demonstration actor that stands for a decoder of what the CTM is conscious of, so that the
// workbench's expression viewer has something to show: every "every" ticks (default 4) it
// publishes the gist of the tick's first winner on "nlp.decode" as
// [decoded, "<sender> : <kind>", gist, tick], and the gists of all its winners on
// "nlp.decode.all" as [decoded, "tick <n>", [gist, ...], tick]. A tick without winners
// publishes nothing.
#include "modules/ctm/actors/CTMBPLNActor.h"

class DEMCDecoder : public CTMBPLNActor {
public:
  using CTMBPLNActor::CTMBPLNActor;
  void onReceivedTick(MRKCList* winners, uint64_t tick, MRKCFrame* frame) override;

private:
  // Publishes [decoded, caption, decoded term(s), tick] on the label; false when not sent.
  bool publishDecoded(const char* label, const std::string& caption, MRKBTerm* decoded, uint64_t tick);
};

#pragma once
// An actor that posts nothing of its own and ignores what it hears: a stand-in that takes
// part in a CTM through the runtime alone (commands, links, awaits).
#include "modules/ctm/actors/CTMBPLNActor.h"

class CTMCTNTActor : public CTMBPLNActor {
public:
  using CTMBPLNActor::CTMBPLNActor;
};

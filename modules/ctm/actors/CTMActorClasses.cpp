// The actor classes the substrate makes by name from a solution, registered while the plug-in
// is loaded. Kept apart from the classes so that a module that subclasses them registers none.
#include "modules/ctm/actors/CTMBPLNActor.h"
#include "modules/ctm/actors/CTMCBFSActor.h"
#include "modules/ctm/actors/CTMCFUNActor.h"
#include "modules/ctm/actors/CTMCTNTActor.h"

namespace {
CTMTActorRegistrar<CTMCBFSActor> registerBFS("CTMCBFSActor");
CTMTActorRegistrar<CTMCFUNActor> registerFUN("CTMCFUNActor");
CTMTActorRegistrar<CTMBPLNActor> registerPLN("CTMBPLNActor");
CTMTActorRegistrar<CTMCTNTActor> registerTNT("CTMCTNTActor");
}  // namespace

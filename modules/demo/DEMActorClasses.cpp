// The demonstration actors, made by name from a solution while the module is loaded.
#include "modules/demo/DEMCAnswerer.h"
#include "modules/demo/DEMCAsker.h"
#include "modules/demo/DEMCTweeter.h"

namespace {
CTMTActorRegistrar<DEMCTweeter> registerTweeter("DEMCTweeter");
CTMTActorRegistrar<DEMCAsker> registerAsker("DEMCAsker");
CTMTActorRegistrar<DEMCAnswerer> registerAnswerer("DEMCAnswerer");
}  // namespace

// The demonstration actors, made by name from a solution while the module is loaded.
#include "framework/substrate/MRKCClassRegistry.h"
#include "modules/demo/DEMCAnswerer.h"
#include "modules/demo/DEMCAsker.h"
#include "modules/demo/DEMCDecoder.h"
#include "modules/demo/DEMCTalker.h"
#include "modules/demo/DEMCTweeter.h"

namespace {
CTMTActorRegistrar<DEMCTweeter> registerTweeter("DEMCTweeter");
CTMTActorRegistrar<DEMCAsker> registerAsker("DEMCAsker");
CTMTActorRegistrar<DEMCAnswerer> registerAnswerer("DEMCAnswerer");
CTMTActorRegistrar<DEMCDecoder> registerDecoder("DEMCDecoder");
MRKTClassRegistrar<DEMCTalker> registerTalker("DEMCTalker");
}  // namespace

// Broadcasts, flashes and gists reach an actor from other processors and are untrusted. The
// first byte picks what the rest (a term in the text form) is handed to, on the actor's own
// strand, as the substrate would hand it: a tick statement, a link flash, a link list or a gist.
#include <cstddef>
#include <cstdint>
#include <future>
#include <string_view>

#include "framework/core/LLKFTime.h"
#include "framework/substrate/MRKCFlash.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "modules/ctm/actors/CTMCTNTActor.h"
#include "modules/ctm/actors/CTMFActor.h"

namespace {

// One substrate and one attached actor, kept for the whole run as a fuzzer process keeps them.
struct Scene {
  Scene() {
    substrate = MRKCSubstrate::substrate();
    Ref<MRKBTerm> properties = MRKCReader::reader()->readTermFromString(R"({"links": true, "stage": ctm})");
    actor =
        refCast<CTMCTNTActor>(CTMFActorMake<CTMCTNTActor>({}, "fuzzed", {}, Ref<MRKCFrame>(asFrame(properties.get()))));
    if (actor) (void)substrate->attach(actor.get(), false);
  }
  Ref<MRKCSubstrate> substrate;
  Ref<CTMCTNTActor> actor;
};

void handOver(CTMTActor* actor, uint8_t route, MRKBTerm* term) {
  MRKCList* list = asList(term);
  switch (route % 4) {
    case 0:
      if (list)
        CTMFActorStageHandle(actor, list->fetchAtIndex(0), asList(list->fetchAtIndex(1)),
                             asFrame(list->fetchAtIndex(2)), route & 4);
      break;
    case 1:
      if (MRKCFunc* functor = asFunc(term)) {
        Ref<MRKCFlash> flash = MRKCFlash::flashWithFunctor(functor);
        if (flash) CTMFActorReceivedFlash(actor, flash.get());
      }
      break;
    case 2:
      if (list) CTMFActorListToLink(actor, list);
      break;
    default:
      CTMFActorGeneralizeTerm(term);
      if (list) {
        // Remembered as the runtime remembers stages: within a window (here one second), so
        // that a long run keeps no more than the window's worth.
        CTMFActorRecallCleanup(actor, LLKFNowInS() - 1.0);
        CTMFActorRecallConsume(actor, list);
      }
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Scene scene;
  if (size < 1 || !scene.actor) return 0;
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  Ref<MRKBTerm> term = MRKCReader::reader()->readTermFromString(text);
  if (!term) return 0;
  std::promise<void> done;
  scene.actor->schedule([&] {
    handOver(scene.actor->actor(), data[0], term.get());
    done.set_value();
  });
  done.get_future().wait();
  return 0;
}

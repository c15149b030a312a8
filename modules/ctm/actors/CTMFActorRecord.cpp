// The actor record: making and freeing it, its configuration and the weight modifiers.
#include <cmath>
#include <memory>

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKFTerms.h"
#include "modules/ctm/actors/CTMActorSupport.h"

namespace {
// The symbols the runtime compares and builds with, (re)taken from the symbol table.
void CTMActorInternSymbols(CTMTActor* actor) {
  actor->initSym = CTMActorIntern(actor, "init");
  actor->tickSym = CTMActorIntern(actor, "tick");
  actor->dropSym = CTMActorIntern(actor, "drop");
  actor->beatSym = CTMActorIntern(actor, "beat");
  actor->linkSym = CTMActorIntern(actor, "link");
  actor->nullSym = CTMActorIntern(actor, "null");
  actor->tweetSym = CTMActorIntern(actor, "tweet");
  actor->querySym = CTMActorIntern(actor, "query");
  actor->replySym = CTMActorIntern(actor, "reply");
  actor->kudosSym = CTMActorIntern(actor, "kudos");
}
// A time or weight setting read from the properties; a value that is not a finite number (or a
// negative time) would stop the tables it paces from ever emptying, so it falls back to the
// default with a log line.
double CTMActorFetchSetting(const CTMTActor* actor, MRKCFrame* properties, const char* name, double fallback,
                            bool time) {
  const double value = MRKFFrameFetchReal(properties, name, fallback);
  if (std::isfinite(value) && !(time && value < 0)) return value;
  LLKFLog("%s : \"%s\" of %g ignored, %g kept", actor->label ? actor->label->value().c_str() : "actor", name, value,
          fallback);
  return fallback;
}

}  // namespace

CTMTActor* CTMFActorInit(MRKBProcessor* proc, const CTMTActorCallbacks* callbacks) {
  if (!proc) return nullptr;
  // Owned here until it is handed over whole: what throws on the way frees it.
  auto actor = std::make_unique<CTMTActor>();
  actor->proc = proc;
  if (callbacks) {
    actor->onEvent = callbacks->onEvent;
    actor->onReply = callbacks->onReply;
    actor->onKudos = callbacks->onKudos;
    actor->context = callbacks->context;
  }
  actor->label = MRKCSymbol::symbolWithValue(proc->label());
  actor->awaits = LLKCObjectMap::mapWithCapacity(8);
  actor->links = LLKCObjectMap::mapWithCapacity(8);
  actor->recalls = LLKCObjectList::list();
  actor->sent = LLKCObjectMap::mapWithCapacity(8);
  actor->received = LLKCObjectMap::mapWithCapacity(8);
  CTMActorInternSymbols(actor.get());
  if (!actor->label || !actor->awaits || !actor->links || !actor->recalls || !actor->sent || !actor->received ||
      !actor->kudosSym)
    return nullptr;
  return actor.release();
}

void CTMFActorExit(CTMTActor* actor) { delete actor; }

void CTMFActorUpdateConfig(CTMTActor* actor, MRKCFrame* properties) {
  if (!actor) return;
  CTMActorInternSymbols(actor);

  MRKBTerm* links = MRKFFrameFetchTerm(properties, "links");
  if (MRKCList* list = asList(links)) {
    actor->linksOn = true;
    // The actor's own links as last read or saved are in the table already; a list put there
    // since replaces them.
    if (!actor->linksSeen || list->compareTo(actor->linksSeen.get()) != 0) {
      actor->links->clear();
      CTMFActorListToLink(actor, list);
      actor->linksSeen = Ref<MRKCList>(list);
    }
  } else if (links) {
    bool on = false;
    if (MRKFAtomToBoolean(links, &on) == 0) actor->linksOn = on;
  }

  actor->dreco = static_cast<uint32_t>(MRKFFrameFetchUint(properties, "dreco", 0));
  actor->ctime = CTMActorFetchSetting(actor, properties, "ctime", 6.0, true);
  // The same for the weight modifier: the value saved holds the kudos still counted in sent.
  const double wtmod = CTMActorFetchSetting(actor, properties, "wtmod", 0.0, false);
  if (!actor->configured || wtmod != actor->wtmodSeen) actor->staticMod = wtmod;
  actor->wtmodSeen = wtmod;
  actor->configured = true;
  actor->tlink = CTMActorFetchSetting(actor, properties, "tlink", 5.0, false);
  actor->rtime = CTMActorFetchSetting(actor, properties, "rtime", 0.0, true);
  actor->ukudo = MRKFFrameFetchBool(properties, "ukudo", true);

  actor->stage = Ref<MRKCSymbol>(MRKFFrameFetchSymbol(properties, "stage"));
  const std::string stage = actor->stage ? actor->stage->value() : std::string("ctm");
  actor->tickLabel = stage + ".tick";
  actor->passLabel = stage + ".pass";
}

double CTMFActorModifiedWeight(const CTMTActor* actor, double weight) {
  const double w1 = weight + actor->mood * weight;
  const double w2 = w1 + actor->dynamicMod * w1 + actor->staticMod * w1;
  if (actor->drop == 0 || actor->dreco == 0) return w2;
  const double recovery = static_cast<double>(actor->sinceDrop) * (actor->drop / actor->dreco) * w2;
  return w2 > 0 ? w2 - (actor->drop * w2 + recovery) : w2 + (actor->drop * w2 - recovery);
}

Ref<MRKCNumber> CTMFActorApplyWeightModifiers(const CTMTActor* actor, double weight) {
  if (!actor) return nullptr;
  return MRKCNumber::numberWithReal(CTMFActorModifiedWeight(actor, weight));
}

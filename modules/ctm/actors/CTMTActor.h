#pragma once
// The record every CTM actor processor owns. The actor runtime (CTMFActor.h) takes it as its
// first argument: it turns the actor's postings into chunks, follows the stage's broadcasts and
// remembers what was sent and seen. Only the processor's own hooks touch it, one at a time.
#include <cstdint>

#include "framework/core/LLKCObjectList.h"
#include "framework/core/LLKCObjectMap.h"
#include "framework/substrate/MRKBProcessor.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCSymbol.h"

// Callbacks that hand the runtime's events to the actor class; results are ignored.
// onEvent(proc, null, event list, context): init, beat, tick and link events.
typedef void (*CTMTActorEventCB)(MRKBProcessor* proc, void* nothing, MRKCList* event, void* context);
// onReply(proc, query uid, reply chunk or the list of all replies of a collecting query, context).
typedef void (*CTMTActorReplyCB)(MRKBProcessor* proc, MRKCSymbol* queryUid, MRKBTerm* replies, void* context);
// onKudos(proc, reply uid, kudos chunk, context).
typedef void (*CTMTActorKudosCB)(MRKBProcessor* proc, MRKCSymbol* replyUid, MRKCList* kudos, void* context);

struct CTMTActorCallbacks {
  CTMTActorEventCB onEvent;
  CTMTActorReplyCB onReply;
  CTMTActorKudosCB onKudos;
  void* context;
};

struct CTMTActor {
  MRKBProcessor* proc = nullptr;       // the owner; not retained
  CTMTActorEventCB onEvent = nullptr;  // null: events become queries to the processor itself
  CTMTActorReplyCB onReply = nullptr;
  CTMTActorKudosCB onKudos = nullptr;
  void* context = nullptr;

  uint32_t dreco = 0;  // drop recovery, ticks
  double ctime = 6.0;  // chunk lifetime: seconds for sent records, ticks for notices
  double tlink = 5.0;  // pull a link needs before it is used
  bool linksOn = false;
  double rtime = 0;  // recall window, seconds; 0 = no recall
  Ref<MRKCSymbol> stage;
  bool ukudo = true;

  Ref<MRKCSymbol> label;  // term 0 of every chunk the actor makes
  Ref<MRKCSymbol> initSym, tickSym, dropSym, beatSym, linkSym, nullSym;
  std::string tickLabel = "ctm.tick";
  std::string passLabel = "ctm.pass";
  Ref<MRKCSymbol> tweetSym, querySym, replySym, kudosSym;

  Ref<LLKCObjectMap> awaits;    // query context key -> CTMCActorWait
  Ref<LLKCObjectMap> links;     // gist label -> tuple (label, table of CTMCActorLink)
  Ref<LLKCObjectList> recalls;  // CTMCActorRecall, newest first
  Ref<MRKCList> lastStage;      // winners of the last handled broadcast, unfiltered
  Ref<LLKCObjectMap> sent;      // uid -> CTMCActorRecord
  Ref<LLKCObjectMap> received;  // uid -> CTMCActorNotice

  uint64_t tick = 0;       // last tick broadcast (or link) handled
  double time = 0;         // LLKFNowInS when it was handled
  double staticMod = 0;    // S
  double dynamicMod = 0;   // K: kudos of the records in sent
  double drop = 0;         // D
  double mood = 0;         // M
  uint64_t sinceDrop = 0;  // C

  // The "links" and "wtmod" values last read from or saved into the properties: reading them
  // again on a later attach must not count the actor's own pulls and kudos twice.
  Ref<MRKCList> linksSeen;
  double wtmodSeen = 0;
  bool configured = false;
};

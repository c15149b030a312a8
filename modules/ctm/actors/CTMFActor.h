#pragma once
// The actor runtime: the functions every CTM actor class hands its substrate hooks to. They
// take the actor's record first. A receive function answers true when it did not consume the
// message (the actor class then passes it on to its superclass). Functions that hand back a new
// object return a Ref and so have C++ linkage; the others are plain C functions.
#include <cstdint>

#include "framework/substrate/MRKCFlash.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCFunc.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCScrap.h"
#include "framework/substrate/MRKCSquib.h"
#include "modules/ctm/actors/CTMCActorRecords.h"
#include "modules/ctm/actors/CTMTActor.h"

extern "C" {
// Record and configuration.
// A new record for the processor, or null when proc is null or an allocation fails.
CTMTActor* CTMFActorInit(MRKBProcessor* proc, const CTMTActorCallbacks* callbacks);
// Releases what the record holds and frees it; null is ignored.
void CTMFActorExit(CTMTActor* actor);
// Reads the actor's keys from the properties frame; may run again on a later attach.
void CTMFActorUpdateConfig(CTMTActor* actor, MRKCFrame* properties);
// The weight after mood, kudos, static and drop modifiers.
double CTMFActorModifiedWeight(const CTMTActor* actor, double weight);

// Lifecycle and receiving.
void CTMFActorAttached(CTMTActor* actor);
void CTMFActorDetached(CTMTActor* actor);
void CTMFActorPulsated(CTMTActor* actor);
// False when a store into the properties failed.
bool CTMFActorSaveKnowledge(CTMTActor* actor);
bool CTMFActorReceivedSquib(CTMTActor* actor, MRKCSquib* squib);
bool CTMFActorReceivedFlash(CTMTActor* actor, MRKCFlash* flash);
bool CTMFActorReceivedReply(CTMTActor* actor, MRKCReply* reply);
bool CTMFActorReceivedQuery(CTMTActor* actor, MRKCQuery* query);
bool CTMFActorReceivedScrap(CTMTActor* actor, MRKCScrap* scrap);

// Tick handling. False only when the tick number or the winners list is missing.
bool CTMFActorStageHandle(CTMTActor* actor, MRKBTerm* tick, MRKCList* winners, MRKCFrame* frame, bool flashed);
void CTMFActorChunkTimeout(CTMTActor* actor);
void CTMFActorChunkResend(CTMTActor* actor);
void CTMFActorUpdateDynamicModifier(CTMTActor* actor);
// Hands an event to the actor class: the event callback, else a query to the processor itself
// (throughSubstrate: inquired through the substrate instead).
void CTMFActorSelfQuery(CTMTActor* actor, MRKCList* terms, bool throughSubstrate);

// Queries, awaits and recall.
// The immediate answer to a command: the predicate's terms with the value.
bool CTMFActorReplyToQuery(CTMTActor* actor, MRKCQuery* query, double value);
void CTMFActorRecallConsume(CTMTActor* actor, MRKCList* stage);
void CTMFActorRecallCleanup(CTMTActor* actor, double cutoff);
uint32_t CTMFActorRecallCount(const CTMTActor* actor);
void CTMFActorAwaitsHandleChunk(CTMTActor* actor, MRKBTerm* chunk);
void CTMFActorAwaitsHandleStage(CTMTActor* actor, MRKCList* stage);
void CTMFActorAwaitsCleanup(CTMTActor* actor);

// Links.
void CTMFActorListToLink(CTMTActor* actor, MRKCList* list);
void CTMFActorLinksUpdate(CTMTActor* actor, MRKCFunc* gist, MRKCSymbol* processor, double pull);
// Appends the usable links (CTMCActorLink objects) for the gist; true when out is then non-empty.
bool CTMFActorLinksSearch(CTMTActor* actor, MRKCFunc* gist, LLKCObjectList* out);
// True when some chunk of the list has a gist equal to the chunk's.
bool CTMFActorGistInList(const CTMTActor* actor, MRKCList* list, MRKCList* chunk);
}

// Weight as a number term.
Ref<MRKCNumber> CTMFActorApplyWeightModifiers(const CTMTActor* actor, double weight);

// Posting: the new chunk's uid, or null when nothing was sent. terms = [gist, weight, mood].
Ref<MRKCSymbol> CTMFActorPublishTweet(CTMTActor* actor, MRKCFrame* options, MRKBTerm* gist, float weight, float mood);
Ref<MRKCSymbol> CTMFActorPublishQuery(CTMTActor* actor, MRKCFrame* options, MRKBTerm* gist, float weight, float mood);
Ref<MRKCSymbol> CTMFActorPublishReply(CTMTActor* actor, MRKCFrame* options, MRKBTerm* gist, MRKCSymbol* queryUid,
                                      float weight, float mood);
Ref<MRKCSymbol> CTMFActorPublishKudos(CTMTActor* actor, MRKCFrame* options, MRKBTerm* amount, MRKCSymbol* replyUid,
                                      float weight, float mood);
Ref<MRKCSymbol> CTMFActorPostTweet(CTMTActor* actor, MRKCFrame* options, MRKBTerm* kind, MRKCList* terms);
Ref<MRKCSymbol> CTMFActorPostQuery(CTMTActor* actor, MRKCFrame* options, MRKBTerm* kind, MRKCList* terms,
                                   MRKCQuery* query);
Ref<MRKCSymbol> CTMFActorPostReply(CTMTActor* actor, MRKCFrame* options, MRKBTerm* kind, MRKCList* terms);
Ref<MRKCSymbol> CTMFActorPostKudos(CTMTActor* actor, MRKCFrame* options, MRKBTerm* kind, MRKCList* terms);

// The winners without the query chunks already noticed.
Ref<MRKCList> CTMFActorFilterStageOfQueries(CTMTActor* actor, MRKCList* winners);
// Chunks of the remembered stages (or, with own, of the sent chunks) that match the pattern.
Ref<MRKCList> CTMFActorRecallSearch(CTMTActor* actor, MRKBTerm* pattern, bool own);
// The links in their saved form: [[gist, processor, pull], ...].
Ref<MRKCList> CTMFActorLinkToList(CTMTActor* actor);
// The term with every leaf replaced by a wildcard constrained by its kind; null on failure.
Ref<MRKBTerm> CTMFActorGeneralizeTerm(MRKBTerm* term);

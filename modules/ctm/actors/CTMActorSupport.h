#pragma once
// What the runtime's files share: the calls into the substrate (publishing chunks, link
// flashes, answers, events) and small readers of chunk terms. Internal to the runtime.
#include <string>
#include <vector>

#include "modules/ctm/actors/CTMFActor.h"

// "%s : <what>" with the processor's label, printed only when the processor is verbose.
void CTMActorComplain(const CTMTActor* actor, const char* what);
// The symbol from the substrate's symbol table, or a plain one before the actor is attached.
Ref<MRKCSymbol> CTMActorIntern(const CTMTActor* actor, std::string_view name);
// Now, in seconds (the clock of posting, staging and waits).
double CTMActorNow();

// Chunk terms, checked: null when missing or of another kind.
MRKCSymbol* CTMActorChunkUid(MRKCList* chunk);
MRKBTerm* CTMActorChunkGist(MRKCList* chunk);
// The kind's name: the symbol itself, or the label of a func (reply(uid), kudos(uid)).
MRKCSymbol* CTMActorChunkKindName(MRKCList* chunk);
MRKCFunc* CTMActorChunkKindFunc(MRKCList* chunk);
// The tick a chunk was made for; false when term 1 is not a number.
bool CTMActorChunkTick(MRKCList* chunk, uint64_t* tick);

// The key of a query's context in the awaits table.
std::string CTMActorContextKey(const MRKCContext* context);

// Publishes a statement [chunk] on the label as a squib with the substrate's default time to
// live; false when it could not be made or sent.
bool CTMActorPublishChunk(CTMTActor* actor, MRKCList* chunk, const std::string& label);
// The chunk on passLabel, and its copy on the actor's own label first or after when chatty.
bool CTMActorPublishCarrier(CTMTActor* actor, MRKCList* chunk);
bool CTMActorPublishOwnCopy(CTMTActor* actor, MRKCList* chunk);
// Flashes link(chunk) to each target label, then to the stage (its label, else "ctm").
bool CTMActorFlashLink(CTMTActor* actor, MRKCList* chunk, const std::vector<std::string>& targets);

// Sends an answer statement to the query's asker: to the processor itself when the predicate
// is a recursion and toSelfAllowed, else through the substrate. False when not made or not taken.
bool CTMActorAnswer(CTMTActor* actor, MRKCQuery* query, MRKCStatement* statement, bool toSelfAllowed);
// The answer [P0, P1, P2, data] to a pending query command, value 1.0 when P's last term
// unifies with data; sent through the substrate.
bool CTMActorAnswerWithData(CTMTActor* actor, MRKCQuery* query, MRKBTerm* data);
// Answers a query record that still owes its asker an answer ("null" in the result slot, or
// null in front of the collected replies); marks the record answered.
void CTMActorAnswerTimedOut(CTMTActor* actor, CTMCActorRecord* record);
// A query record leaves sent (forgotten, or displaced by a posting of the same uid): its asker,
// if still waiting for an answer, gets the one a timeout would have given.
void CTMActorAnswerLeaving(CTMTActor* actor, CTMCActorRecord* record);

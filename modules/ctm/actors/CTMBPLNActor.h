#pragma once
// The base for actors written as subclasses: post tweets, queries, replies and kudos with the
// methods below, and override the hooks to hear the stage. The runtime's events reach the
// object as method calls. The posting methods are meant for the actor's own hooks (they touch
// the actor's record, which only its hooks may): from elsewhere, go through schedule().
#include <cstdint>

#include "framework/substrate/MRKBElemental.h"
#include "modules/ctm/actors/CTMTActorShell.h"

class CTMBPLNActor : public CTMTActorShell<MRKBElemental> {
public:
  // Made by the class registry through CTMFActorMake, which refuses an actor without record.
  CTMBPLNActor(std::string guid, std::string label, std::string alias, Ref<MRKCFrame> properties);
  explicit CTMBPLNActor(const MRKCManifesto& manifesto);
  CTMBPLNActor(std::string guid, std::string label, std::string alias, const MRKCManifesto& manifesto);

  // Each answers the posted chunk's uid, or null when nothing was sent (a null gist, amount
  // or options frame included). A query's uid comes back in onReceivedReply; pass a reply's
  // uid to replyTo and kudosTo.
  Ref<MRKCSymbol> tweetWithGist(MRKBTerm* gist, float weight, float mood);
  Ref<MRKCSymbol> tweetWithGist(MRKBTerm* gist, float weight, float mood, MRKCFrame* options);
  Ref<MRKCSymbol> queryWithGist(MRKBTerm* gist, float weight, float mood);
  Ref<MRKCSymbol> queryWithGist(MRKBTerm* gist, float weight, float mood, MRKCFrame* options);
  Ref<MRKCSymbol> replyTo(MRKCSymbol* query, MRKBTerm* gist, float weight, float mood);
  Ref<MRKCSymbol> replyTo(MRKCSymbol* query, MRKBTerm* gist, float weight, float mood, MRKCFrame* options);
  Ref<MRKCSymbol> kudosTo(MRKCSymbol* reply, MRKBTerm* amount, float weight, float mood);
  Ref<MRKCSymbol> kudosTo(MRKCSymbol* reply, MRKBTerm* amount, float weight, float mood, MRKCFrame* options);

  // Hooks; empty here.
  // The winners of a tick broadcast (without the queries already seen), its number and frame.
  virtual void onReceivedTick(MRKCList* winners, uint64_t tick, MRKCFrame* frame) {}
  // A chunk flashed straight to this actor, as the list [chunk]; frame is null.
  virtual void onReceivedLink(MRKCList* chunks, uint64_t tick, MRKCFrame* frame) {}
  // A reply that won for one of this actor's queries (all replies so far when it collects).
  virtual void onReceivedReply(MRKBTerm* reply, MRKCSymbol* query) {}
  // Kudos that won for one of this actor's replies.
  virtual void onReceivedKudos(MRKCList* kudos, MRKCSymbol* reply) {}
  using CTMTActorShell::onReceivedReply;
};

extern "C" {
// The callbacks CTMBPLNActor hands the runtime: they turn events into the hooks above.
void CTMFPLNActorEventCB(MRKBProcessor* proc, void* nothing, MRKCList* event, void* context);
void CTMFPLNActorReplyCB(MRKBProcessor* proc, MRKCSymbol* queryUid, MRKBTerm* replies, void* context);
void CTMFPLNActorKudosCB(MRKBProcessor* proc, MRKCSymbol* replyUid, MRKCList* kudos, void* context);
}

#include "modules/ctm/actors/CTMBPLNActor.h"

namespace {
const CTMTActorCallbacks kCTMPLNCallbacks = {CTMFPLNActorEventCB, CTMFPLNActorReplyCB, CTMFPLNActorKudosCB, nullptr};

// Every form without options posts with an empty options frame.
Ref<MRKCFrame> CTMActorNoOptions() { return MRKCFrame::frame(); }
}  // namespace

CTMBPLNActor::CTMBPLNActor(std::string guid, std::string label, std::string alias, Ref<MRKCFrame> properties)
    : CTMTActorShell(std::move(guid), std::move(label), std::move(alias), std::move(properties), &kCTMPLNCallbacks) {}

CTMBPLNActor::CTMBPLNActor(const MRKCManifesto& manifesto) : CTMTActorShell(manifesto, &kCTMPLNCallbacks) {}

CTMBPLNActor::CTMBPLNActor(std::string guid, std::string label, std::string alias, const MRKCManifesto& manifesto)
    : CTMBPLNActor(std::move(guid), std::move(label), std::move(alias), Ref<MRKCFrame>(manifesto.properties())) {}

Ref<MRKCSymbol> CTMBPLNActor::tweetWithGist(MRKBTerm* gist, float weight, float mood) {
  return tweetWithGist(gist, weight, mood, CTMActorNoOptions().get());
}

Ref<MRKCSymbol> CTMBPLNActor::tweetWithGist(MRKBTerm* gist, float weight, float mood, MRKCFrame* options) {
  if (!gist || !options) return nullptr;
  return CTMFActorPublishTweet(actor(), options, gist, weight, mood);
}

Ref<MRKCSymbol> CTMBPLNActor::queryWithGist(MRKBTerm* gist, float weight, float mood) {
  return queryWithGist(gist, weight, mood, CTMActorNoOptions().get());
}

Ref<MRKCSymbol> CTMBPLNActor::queryWithGist(MRKBTerm* gist, float weight, float mood, MRKCFrame* options) {
  if (!gist || !options) return nullptr;
  return CTMFActorPublishQuery(actor(), options, gist, weight, mood);
}

Ref<MRKCSymbol> CTMBPLNActor::replyTo(MRKCSymbol* query, MRKBTerm* gist, float weight, float mood) {
  return replyTo(query, gist, weight, mood, CTMActorNoOptions().get());
}

Ref<MRKCSymbol> CTMBPLNActor::replyTo(MRKCSymbol* query, MRKBTerm* gist, float weight, float mood, MRKCFrame* options) {
  if (!gist || !options) return nullptr;
  return CTMFActorPublishReply(actor(), options, gist, query, weight, mood);
}

Ref<MRKCSymbol> CTMBPLNActor::kudosTo(MRKCSymbol* reply, MRKBTerm* amount, float weight, float mood) {
  return kudosTo(reply, amount, weight, mood, CTMActorNoOptions().get());
}

Ref<MRKCSymbol> CTMBPLNActor::kudosTo(MRKCSymbol* reply, MRKBTerm* amount, float weight, float mood,
                                      MRKCFrame* options) {
  if (!amount || !options) return nullptr;
  return CTMFActorPublishKudos(actor(), options, amount, reply, weight, mood);
}

void CTMFPLNActorEventCB(MRKBProcessor* proc, void* nothing, MRKCList* event, void* context) {
  auto* actor = dynamic_cast<CTMBPLNActor*>(proc);
  MRKCSymbol* name = event ? asSymbol(event->head()) : nullptr;
  MRKCNumber* tick = event ? asNumber(event->fetchAtIndex(1)) : nullptr;
  MRKCList* chunks = event ? asList(event->fetchAtIndex(2)) : nullptr;
  if (!actor || !name || !tick || !chunks) return;  // init and beat carry no chunks
  if (name->compareToChars("tick") == 0) actor->onReceivedTick(chunks, tick->uint(), asFrame(event->fetchAtIndex(3)));
  else if (name->compareToChars("link") == 0)
    actor->onReceivedLink(chunks, tick->uint(), asFrame(event->fetchAtIndex(3)));
}

void CTMFPLNActorReplyCB(MRKBProcessor* proc, MRKCSymbol* queryUid, MRKBTerm* replies, void* context) {
  if (auto* actor = dynamic_cast<CTMBPLNActor*>(proc)) actor->onReceivedReply(replies, queryUid);
}

void CTMFPLNActorKudosCB(MRKBProcessor* proc, MRKCSymbol* replyUid, MRKCList* kudos, void* context) {
  if (auto* actor = dynamic_cast<CTMBPLNActor*>(proc)) actor->onReceivedKudos(kudos, replyUid);
}

#include "modules/ctm/actors/CTMActorSupport.h"

#include <cstdio>

#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFTime.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "framework/substrate/MRKFUnify.h"

void CTMActorComplain(const CTMTActor* actor, const char* what) {
  if (actor && actor->proc && actor->proc->verbose()) LLKFConsolePrintf("%s : %s", actor->proc->label().c_str(), what);
}

Ref<MRKCSymbol> CTMActorIntern(const CTMTActor* actor, std::string_view name) {
  MRKCSubstrate* substrate = actor && actor->proc ? actor->proc->substrate() : nullptr;
  return substrate ? substrate->symbols()->store(name) : MRKCSymbol::symbolWithValue(name);
}

double CTMActorNow() { return LLKFNowInS(); }

MRKCSymbol* CTMActorChunkUid(MRKCList* chunk) { return chunk ? asSymbol(chunk->fetchAtIndex(2)) : nullptr; }

MRKBTerm* CTMActorChunkGist(MRKCList* chunk) { return chunk ? chunk->fetchAtIndex(4) : nullptr; }

MRKCSymbol* CTMActorChunkKindName(MRKCList* chunk) {
  MRKBTerm* kind = chunk ? chunk->fetchAtIndex(3) : nullptr;
  if (MRKCSymbol* symbol = asSymbol(kind)) return symbol;
  MRKCFunc* func = asFunc(kind);
  return func ? func->label() : nullptr;
}

MRKCFunc* CTMActorChunkKindFunc(MRKCList* chunk) { return chunk ? asFunc(chunk->fetchAtIndex(3)) : nullptr; }

bool CTMActorChunkTick(MRKCList* chunk, uint64_t* tick) {
  MRKCNumber* number = chunk ? asNumber(chunk->fetchAtIndex(1)) : nullptr;
  if (!number) return false;
  *tick = number->uint();
  return true;
}

std::string CTMActorContextKey(const MRKCContext* context) {
  char key[32];
  std::snprintf(key, sizeof key, "%p", static_cast<const void*>(context));
  return key;
}

bool CTMActorPublishChunk(CTMTActor* actor, MRKCList* chunk, const std::string& label) {
  MRKCSubstrate* substrate = actor->proc->substrate();
  if (!substrate || !chunk) return false;
  Ref<MRKCList> terms = MRKCList::listWithTerms({chunk});
  Ref<MRKCStatement> statement = terms ? MRKCStatement::statementWithLabel(label, terms.get(), 1.0f) : nullptr;
  Ref<MRKCSquib> squib =
      statement ? MRKCSquib::squibWithLabel(label, statement.get(), substrate->configs().ttl) : nullptr;
  if (!squib) {
    CTMActorComplain(actor, "out of memory");
    return false;
  }
  return substrate->publish(squib.get(), actor->proc->guid());
}

bool CTMActorPublishCarrier(CTMTActor* actor, MRKCList* chunk) {
  return CTMActorPublishChunk(actor, chunk, actor->passLabel);
}

bool CTMActorPublishOwnCopy(CTMTActor* actor, MRKCList* chunk) {
  if (!actor->proc->chatty()) return true;
  return CTMActorPublishChunk(actor, chunk, actor->proc->label());
}

bool CTMActorFlashLink(CTMTActor* actor, MRKCList* chunk, const std::vector<std::string>& targets) {
  MRKCSubstrate* substrate = actor->proc->substrate();
  if (!substrate || !chunk) return false;
  Ref<MRKCList> terms = MRKCList::listWithTerms({chunk});
  Ref<MRKCFunc> functor = terms ? MRKCFunc::funcWithLabel(actor->linkSym.get(), terms.get()) : nullptr;
  Ref<MRKCFlash> flash = functor ? MRKCFlash::flashWithFunctor(functor.get()) : nullptr;
  if (!flash) {
    CTMActorComplain(actor, "out of memory");
    return false;
  }
  bool sent = targets.empty() || substrate->flash(flash.get(), targets, actor->proc->guid());
  std::vector<std::string> stage{actor->stage ? actor->stage->value() : std::string("ctm")};
  return substrate->flash(flash.get(), stage, actor->proc->guid()) && sent;
}

bool CTMActorAnswer(CTMTActor* actor, MRKCQuery* query, MRKCStatement* statement, bool toSelfAllowed) {
  if (!query || !statement) return false;
  const std::string& label = actor->proc->label().empty() ? query->label() : actor->proc->label();
  Ref<MRKCReply> reply =
      MRKCReply::replyWithLabel(label, statement, query->context(), MRKFComputeNextTTL(query->ttl(), query->stp()));
  if (!reply) {
    CTMActorComplain(actor, "out of memory");
    return false;
  }
  if (toSelfAllowed && query->predicate()->isRecurse()) {
    actor->proc->onReceivedReply(reply.get(), actor->proc->guid());
    return true;
  }
  MRKCSubstrate* substrate = actor->proc->substrate();
  return substrate && substrate->answers(reply.get(), actor->proc->guid());
}

bool CTMActorAnswerWithData(CTMTActor* actor, MRKCQuery* query, MRKBTerm* data) {
  MRKCPredicate* predicate = query ? query->predicate() : nullptr;
  MRKCList* terms = predicate ? predicate->terms() : nullptr;
  if (!terms || terms->count() < 4 || !data) return false;
  bool ok = MRKFUnifyTermsIsolated(actor->proc->substrate(), actor->proc, terms->tail(), data);
  Ref<MRKCStatement> statement =
      MRKFMakeStatementWith4Terms(predicate->label()->value(), terms->fetchAtIndex(0), terms->fetchAtIndex(1),
                                  terms->fetchAtIndex(2), data, ok ? 1.0 : 0.0);
  if (!statement) {
    CTMActorComplain(actor, "out of memory");
    return false;
  }
  return CTMActorAnswer(actor, query, statement.get(), false);
}

void CTMActorAnswerTimedOut(CTMTActor* actor, CTMCActorRecord* record) {
  if (!record->iQuery) return;
  bool replied = record->iReplies && record->iReplies->count() > 0;
  if (!record->iCollect && replied) return;  // the replies already answered it
  Ref<MRKBTerm> data(actor->nullSym.get());
  if (record->iCollect) {
    Ref<MRKCList> collected = MRKCList::listWithCapacity(1 + (replied ? record->iReplies->count() : 0));
    if (!collected) return;
    collected->append(actor->nullSym.get());
    if (replied)
      for (const auto& reply : record->iReplies->terms()) collected->append(reply.get());
    data = collected;
  }
  CTMActorAnswerWithData(actor, record->iQuery.get(), data.get());
  record->iAnswered = true;
  record->iTimeout = 0;
}

void CTMActorAnswerLeaving(CTMTActor* actor, CTMCActorRecord* record) {
  if (record->iQuery && (!record->iAnswered || (record->iCollect && record->iTimeout != 0)))
    CTMActorAnswerTimedOut(actor, record);
}

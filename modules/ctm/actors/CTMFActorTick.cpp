// Tick handling and the actor's lifecycle: the stage's broadcasts and direct link flashes move
// the actor's tick, mood and drop penalty, answer its pending queries with winning replies,
// take in kudos; pulses age what it remembers.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/LLKCObjectList.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "modules/ctm/actors/CTMActorSupport.h"

namespace {
constexpr uint32_t kCTMSelfQueryFlags = kMRKPredicateSelfEvent | kMRKPredicateRecurse;

// Raises an event built from the terms (a null term ends the list, as for a link event's
// missing frame).
void CTMActorRaise(CTMTActor* actor, std::initializer_list<MRKBTerm*> terms) {
  Ref<MRKCList> event = MRKCList::listWithTerms(terms);
  if (event) CTMFActorSelfQuery(actor, event.get(), false);
}

// A reply chunk that won: kept by its query's record, which answers the asker.
void CTMActorTakeReply(CTMTActor* actor, MRKCList* chunk, MRKCFunc* kind, bool flashed) {
  MRKCSymbol* queryUid = asSymbol(kind->terms()->tail());
  MRKCSymbol* uid = CTMActorChunkUid(chunk);
  Ref<CTMCActorRecord> record = queryUid ? actor->sent->fetchForKeyAs<CTMCActorRecord>(queryUid->value()) : nullptr;
  if (!record || record->iCType != kCTMChunkQuery || !uid) return;
  if (!record->iReplies) {
    record->iReplies = MRKCList::listWithTerms({chunk});
  } else {
    if (record->iDiverse && CTMFActorGistInList(actor, record->iReplies.get(), chunk)) return;
    Ref<MRKCList> replies = MRKCList::listWithCapacity(record->iReplies->count() + 1);
    if (!replies) return;
    replies->append(chunk);
    for (const auto& reply : record->iReplies->terms()) replies->append(reply.get());
    record->iReplies = replies;
  }
  if (!record->iReplies) return;
  Ref<CTMCActorNotice> notice = adoptRef(new CTMCActorNotice(chunk, kCTMChunkReply));
  record->iStaged = actor->time;
  Ref<MRKBTerm> data = record->iCollect ? Ref<MRKBTerm>(record->iReplies.get()) : Ref<MRKBTerm>(chunk);
  if (record->iQuery) {
    CTMActorAnswerWithData(actor, record->iQuery.get(), data.get());
    record->iAnswered = true;
  }
  if (notice) {
    notice->iFlashed = flashed;
    actor->received->store(notice, uid->value());
  }
  if (actor->onReply) actor->onReply(actor->proc, queryUid, data.get(), actor->context);
}

// Counts the kudos for the record and hands them on where the reply says.
void CTMActorCountKudos(CTMTActor* actor, CTMCActorRecord* record, MRKCNumber* amount) {
  record->iKudos = amount->real();
  CTMFActorUpdateDynamicModifier(actor);
  if (record->iDKudos) {
    Ref<MRKCFrame> options = MRKCFrame::frameWithCapacity(2);
    if (options) {
      MRKFFrameStoreSint(options.get(), "retries", MRKFFrameFetchSint(record->iOptions.get(), "retries", 0));
      MRKFFrameStoreReal(options.get(), "boost", MRKFFrameFetchReal(record->iOptions.get(), "boost", 0.0));
      MRKCNumber* mood = asNumber(record->iChunk ? record->iChunk->fetchAtIndex(7) : nullptr);
      for (const auto& member : record->iDKudos->terms()) {
        MRKCList* entry = asList(member.get());
        MRKCSymbol* target = entry ? asSymbol(entry->head()) : nullptr;
        Ref<MRKCNumber> handed = entry ? MRKFArithmeticMul(amount, entry->tail()) : nullptr;
        if (!target || !handed || !mood) continue;
        Ref<MRKCList> kindTerms = MRKCList::listWithTerms({target});
        Ref<MRKCFunc> handedKind =
            kindTerms ? MRKCFunc::funcWithLabel(actor->kudosSym.get(), kindTerms.get()) : nullptr;
        Ref<MRKCNumber> weight = MRKCNumber::numberWithReal(static_cast<float>(record->iWeight));
        Ref<MRKCNumber> moodValue = MRKCNumber::numberWithReal(static_cast<float>(mood->real()));
        Ref<MRKCList> terms =
            weight && moodValue ? MRKCList::listWithTerms({handed.get(), weight.get(), moodValue.get()}) : nullptr;
        if (handedKind && terms) CTMFActorPostKudos(actor, options.get(), handedKind.get(), terms.get());
      }
    }
  }
}

// Kudos that won for one of the actor's replies: counted, and handed on where the reply says,
// then given to the owner's hook. An amount that is not a finite number is not counted (it would
// make every later weight of the actor NaN or infinite) but the owner still hears of the kudos.
void CTMActorTakeKudos(CTMTActor* actor, MRKCList* chunk, MRKCFunc* kind) {
  MRKCSymbol* replyUid = asSymbol(kind->terms()->head());
  Ref<CTMCActorRecord> record = replyUid ? actor->sent->fetchForKeyAs<CTMCActorRecord>(replyUid->value()) : nullptr;
  if (!record) return;
  MRKCNumber* amount = asNumber(CTMActorChunkGist(chunk));
  if (amount && std::isfinite(amount->real())) CTMActorCountKudos(actor, record.get(), amount);
  if (actor->onKudos) actor->onKudos(actor->proc, replyUid, chunk, actor->context);
}

void CTMActorNotice(CTMTActor* actor, MRKCList* chunk, MRKCSymbol* kind, bool flashed) {
  uint32_t type = 0;
  if (kind->compareTo(actor->tweetSym.get()) == 0) type = kCTMChunkTweet;
  if (kind->compareTo(actor->querySym.get()) == 0) type = kCTMChunkQuery;
  MRKCSymbol* uid = CTMActorChunkUid(chunk);
  if (!type || !uid) return;
  Ref<CTMCActorNotice> notice = adoptRef(new CTMCActorNotice(chunk, type));
  notice->iFlashed = flashed;
  actor->received->store(notice, uid->value());
}

bool CTMActorSentExpired(const CTMTActor* actor, const CTMCActorRecord* record) {
  if (record->iStaged != 0)
    return record->iRepeats == 0 && actor->time > record->iStaged && actor->time - record->iStaged > actor->ctime;
  return record->iRetries == 0 && record->iRepeats == 0 && actor->time - record->iPosted > actor->ctime;
}

// Forgets the sent records that have had their time; true when one was forgotten. Answering a
// leaving record calls out, so the few expired ones are gathered first; the check is repeated
// in case an earlier answer changed a later record.
bool CTMActorForgetSent(CTMTActor* actor) {
  std::vector<std::pair<std::string, Ref<CTMCActorRecord>>> expired;
  actor->sent->forEach([&](const std::string& uid, LLKBObject* object) {
    auto* record = static_cast<CTMCActorRecord*>(object);
    if (CTMActorSentExpired(actor, record)) expired.emplace_back(uid, Ref<CTMCActorRecord>(record));
  });
  bool forgot = false;
  for (const auto& [uid, record] : expired) {
    if (!CTMActorSentExpired(actor, record.get())) continue;
    CTMActorAnswerLeaving(actor, record.get());
    actor->staticMod += record->iKudos;
    actor->sent->removeForKey(uid);
    forgot = true;
  }
  return forgot;
}

// Forgets notices made for a tick more than ctime ticks away from the current one. Ticks are
// compared signed: a chunk made for the next tick is newer, not billions of ticks old. A chunk
// stamped far beyond the current tick (a sender's bad stamp) is as stale as a very old one;
// kept, it would stay for good.
void CTMActorForgetReceived(CTMTActor* actor) {
  actor->received->removeIf([actor](const std::string&, LLKBObject* object) {
    uint64_t made = 0;
    if (!CTMActorChunkTick(static_cast<CTMCActorNotice*>(object)->iChunk.get(), &made)) return true;
    const double age = static_cast<double>(actor->tick) - static_cast<double>(made);
    return std::fabs(age) > actor->ctime;
  });
}
}  // namespace

void CTMFActorSelfQuery(CTMTActor* actor, MRKCList* terms, bool throughSubstrate) {
  if (!actor || !terms) return;
  if (actor->onEvent) {
    actor->onEvent(actor->proc, nullptr, terms, actor->context);
    return;
  }
  Ref<MRKCPredicate> predicate =
      MRKCPredicate::predicateWithLabel(actor->proc->label(), terms, throughSubstrate ? 0 : kCTMSelfQueryFlags);
  Ref<MRKCQuery> query =
      predicate ? MRKCQuery::queryWithPredicate(predicate.get(), MRKCContext::context().get(), actor->proc->ttl())
                : nullptr;
  if (!query) {
    CTMActorComplain(actor, "out of memory");
    return;
  }
  if (!throughSubstrate) {
    actor->proc->onReceivedQuery(query.get(), actor->proc->guid());
    return;
  }
  if (MRKCSubstrate* substrate = actor->proc->substrate())
    substrate->inquire(query.get(), actor->proc->guid(), actor->proc->guid());
}

void CTMFActorAttached(CTMTActor* actor) {
  if (!actor) return;
  CTMFActorUpdateConfig(actor, actor->proc->properties());
  CTMFActorSelfQuery(actor, MRKCList::listWithTerms({actor->initSym.get()}).get(), true);
  MRKCSubstrate* substrate = actor->proc->substrate();
  if (substrate && !substrate->disclose(actor->tickLabel, actor->proc->guid()))
    LLKFLog("%s : could not follow %s", actor->proc->label().c_str(), actor->tickLabel.c_str());
}

void CTMFActorDetached(CTMTActor* actor) {
  if (!actor) return;
  if (MRKCSubstrate* substrate = actor->proc->substrate())
    substrate->withhold(actor->tickLabel, actor->proc->guid());
  // No broadcast will answer the queries still pending: their askers get the timeout answer now
  // rather than waiting out their time to live.
  for (const auto& entry : actor->sent->snapshot())
    CTMActorAnswerLeaving(actor, static_cast<CTMCActorRecord*>(entry.second.get()));
}

void CTMFActorPulsated(CTMTActor* actor) {
  if (!actor) return;
  if (CTMActorForgetSent(actor)) CTMFActorUpdateDynamicModifier(actor);
  CTMActorForgetReceived(actor);
  Ref<MRKCNumber> tick = MRKCNumber::numberWithReal(static_cast<double>(actor->tick));
  CTMActorRaise(actor, {actor->beatSym.get(), tick.get()});
}

bool CTMFActorSaveKnowledge(CTMTActor* actor) {
  if (!actor) return false;
  MRKCFrame* properties = actor->proc->properties();
  bool saved = true;
  if (actor->linksOn) {
    Ref<MRKCList> links = CTMFActorLinkToList(actor);
    saved = links && MRKFFrameStoreTerm(properties, "links", links.get());
    if (saved) actor->linksSeen = links;
  }
  const double wtmod = actor->staticMod + actor->dynamicMod;
  if (!MRKFFrameStoreReal(properties, "wtmod", wtmod)) return false;
  actor->wtmodSeen = wtmod;
  return saved;
}

void CTMFActorUpdateDynamicModifier(CTMTActor* actor) {
  if (!actor) return;
  double sum = 0;
  actor->sent->forEach(
      [&sum](const std::string&, LLKBObject* object) { sum += static_cast<CTMCActorRecord*>(object)->iKudos; });
  actor->dynamicMod = sum;
}

Ref<MRKCList> CTMFActorFilterStageOfQueries(CTMTActor* actor, MRKCList* winners) {
  if (!actor || !winners) return Ref<MRKCList>(winners);
  auto noticedQuery = [actor](const Ref<MRKBTerm>& member) {
    MRKCList* chunk = asList(member.get());
    MRKCSymbol* kind = CTMActorChunkKindName(chunk);
    MRKCSymbol* uid = CTMActorChunkUid(chunk);
    return kind && uid && kind->compareTo(actor->querySym.get()) == 0 && actor->received->contains(uid->value());
  };
  // Most broadcasts carry no query the actor already noticed: they are kept as they are.
  const auto& terms = winners->terms();
  if (std::none_of(terms.begin(), terms.end(), noticedQuery)) return Ref<MRKCList>(winners);
  Ref<MRKCList> kept = MRKCList::listWithCapacity(winners->count());
  if (!kept) return Ref<MRKCList>(winners);
  for (const auto& member : terms)
    if (!noticedQuery(member)) kept->append(member.get());
  return kept;
}

bool CTMFActorStageHandle(CTMTActor* actor, MRKBTerm* tick, MRKCList* winners, MRKCFrame* frame, bool flashed) {
  MRKCNumber* number = asNumber(tick);
  if (!actor || !number || !winners) return false;
  actor->tick = number->uint();
  actor->time = CTMActorNow();
  actor->mood = frame ? MRKFFrameFetchReal(frame, "mood", 0.0) : 0.0;
  if (!MRKFFrameFetchTerm(actor->proc->properties(), "ttl")) actor->proc->setTtl(static_cast<float>(actor->ctime));

  bool own = false;
  const std::vector<Ref<MRKBTerm>> chunks = winners->terms();  // callbacks may post meanwhile
  for (const auto& member : chunks) {
    MRKCList* chunk = asList(member.get());
    MRKCSymbol* kindName = CTMActorChunkKindName(chunk);
    if (!kindName) continue;
    if (!flashed && MRKFCompareTerms(chunk->fetchAtIndex(0), actor->label.get()) == 0) {
      own = true;
      MRKCSymbol* uid = CTMActorChunkUid(chunk);
      if (Ref<CTMCActorRecord> record = uid ? actor->sent->fetchForKeyAs<CTMCActorRecord>(uid->value()) : nullptr) {
        record->iRetries = 0;
        record->iStaged = actor->time;
      }
    }
    MRKCFunc* kind = CTMActorChunkKindFunc(chunk);
    if (kind && kindName->compareTo(actor->replySym.get()) == 0) CTMActorTakeReply(actor, chunk, kind, flashed);
    else if (kind && kindName->compareTo(actor->kudosSym.get()) == 0) CTMActorTakeKudos(actor, chunk, kind);
    else CTMActorNotice(actor, chunk, kindName, flashed);
  }

  if (frame) {
    if (own && actor->drop == 0 && actor->dreco != 0 && MRKFFrameFetchTerm(frame, "drop")) {
      actor->drop = MRKFFrameFetchReal(frame, "drop", 0.0);
      actor->sinceDrop = 0;
    } else if (actor->drop != 0) {
      ++actor->sinceDrop;
      if (actor->sinceDrop == actor->dreco) actor->drop = 0;
    }
  }
  return true;
}

namespace {
// A query that never won times out from when it was posted: its asker must not hang.
bool CTMActorQueryTimedOut(const CTMTActor* actor, const CTMCActorRecord* record) {
  if (record->iCType != kCTMChunkQuery || record->iTimeout == 0 || !record->iQuery) return false;
  const double since = record->iStaged != 0 ? record->iStaged : record->iPosted;
  return since + record->iTimeout < actor->time;
}
}  // namespace

void CTMFActorChunkTimeout(CTMTActor* actor) {
  if (!actor) return;
  // Answering calls out: the timed-out records are gathered first and checked again when answered.
  std::vector<Ref<CTMCActorRecord>> timedOut;
  actor->sent->forEach([&](const std::string&, LLKBObject* object) {
    auto* record = static_cast<CTMCActorRecord*>(object);
    if (CTMActorQueryTimedOut(actor, record)) timedOut.push_back(Ref<CTMCActorRecord>(record));
  });
  for (const auto& record : timedOut)
    if (CTMActorQueryTimedOut(actor, record.get())) CTMActorAnswerTimedOut(actor, record.get());
}

bool CTMFActorReceivedSquib(CTMTActor* actor, MRKCSquib* squib) {
  if (!actor || !squib || squib->label() != actor->tickLabel) return true;
  MRKCStatement* statement = asStatement(squib->statements()->head());
  MRKCList* terms = statement ? statement->terms() : nullptr;
  if (!terms) return false;
  Ref<MRKCList> all(asList(terms->fetchAtIndex(1)));
  MRKCFrame* frame = asFrame(terms->fetchAtIndex(2));
  Ref<MRKCList> winners = all && actor->received->count() > 0 ? CTMFActorFilterStageOfQueries(actor, all.get()) : all;
  if (!CTMFActorStageHandle(actor, terms->fetchAtIndex(0), winners.get(), frame, false)) return false;

  CTMFActorChunkResend(actor);
  CTMFActorChunkTimeout(actor);
  if (actor->rtime != 0) {
    const double cutoff = actor->time - actor->rtime;
    if (cutoff != 0) CTMFActorRecallCleanup(actor, cutoff);
    if (actor->lastStage) CTMFActorRecallConsume(actor, actor->lastStage.get());
  }
  if (actor->awaits->count() > 0) {
    CTMFActorAwaitsHandleStage(actor, winners.get());
    CTMFActorAwaitsCleanup(actor);
  }
  CTMActorRaise(actor, {actor->tickSym.get(), terms->fetchAtIndex(0), winners.get(), frame});
  actor->lastStage = all;
  return false;
}

bool CTMFActorReceivedFlash(CTMTActor* actor, MRKCFlash* flash) {
  MRKCFunc* functor = flash ? flash->functor() : nullptr;
  if (!actor || !functor || functor->label()->compareTo(actor->linkSym.get()) != 0 || functor->terms()->count() != 1)
    return true;
  MRKCList* chunk = asList(functor->terms()->head());
  MRKBTerm* tick = chunk ? chunk->fetchAtIndex(1) : nullptr;
  if (!CTMFActorStageHandle(actor, tick, functor->terms(), nullptr, true)) return true;
  if (actor->awaits->count() > 0) CTMFActorAwaitsHandleChunk(actor, chunk);
  CTMActorRaise(actor, {actor->linkSym.get(), tick, functor->terms()});
  return false;
}

bool CTMFActorReceivedReply(CTMTActor* actor, MRKCReply* reply) { return true; }

// Posting chunks: tweets, queries, replies and kudos, to the stage or straight to linked
// processors, and the resends on later ticks. A posting answers the chunk's uid only when the
// chunk went out; every failure answers null.
#include <cmath>
#include <string>
#include <vector>

#include "framework/core/LLKFUniqueString.h"
#include "framework/substrate/MRKFTerms.h"
#include "modules/ctm/actors/CTMActorSupport.h"

namespace {

// A chunk ready to go, with its record.
struct CTMTPosting {
  Ref<MRKCSymbol> uid;
  Ref<MRKCList> chunk;
  double weight = 0;  // as given, before the modifiers
};

// [label, tick, uid, kind, gist, w', |w'|, mood] from the terms [gist, weight, mood].
bool CTMActorPrepare(CTMTActor* actor, MRKCFrame* options, MRKBTerm* kind, MRKCList* terms, uint64_t tick,
                     CTMTPosting* out) {
  if (!actor || !kind || !terms || terms->count() != 3) {
    CTMActorComplain(actor, "mismatched terms for posting tweet");
    return false;
  }
  MRKBTerm* gist = terms->fetchAtIndex(0);
  MRKCNumber* weight = asNumber(terms->fetchAtIndex(1));
  MRKCNumber* mood = asNumber(terms->fetchAtIndex(2));
  out->uid = Ref<MRKCSymbol>(MRKFFrameFetchSymbol(options, "uid"));
  if (!out->uid) {
    Ref<LLKCString> unique = LLKFUniqueStringWithLength(13);
    if (unique) out->uid = MRKCSymbol::symbolWithValue(unique->view());
  }
  if (!out->uid || !gist || !weight || !mood) {
    CTMActorComplain(actor, "mismatched terms for posting tweet");
    return false;
  }
  out->weight = weight->real();
  const double modified = CTMFActorModifiedWeight(actor, out->weight);
  // The stage refuses chunks whose numbers are not finite; such a chunk could never compete.
  if (!std::isfinite(modified) || !std::isfinite(mood->real())) {
    CTMActorComplain(actor, "mismatched terms for posting tweet");
    return false;
  }
  Ref<MRKCNumber> number = MRKCNumber::numberWithUint(tick);
  Ref<MRKCNumber> modifiedNumber = MRKCNumber::numberWithReal(modified);
  Ref<MRKCNumber> intensity = MRKCNumber::numberWithReal(std::fabs(modified));
  if (number && modifiedNumber && intensity)
    out->chunk = MRKCList::listWithTerms(
        {actor->label.get(), number.get(), out->uid.get(), kind, gist, modifiedNumber.get(), intensity.get(), mood});
  if (!out->chunk || out->chunk->count() != 8) {
    CTMActorComplain(actor, "out of memory");
    return false;
  }
  return true;
}

// Keeps the record under the uid; false (and a complaint) when the table refuses it. A record
// the uid named before leaves the table.
bool CTMActorRemember(CTMTActor* actor, const CTMTPosting& posting, const Ref<CTMCActorRecord>& record) {
  if (!record) {
    CTMActorComplain(actor, "out of memory");
    return false;
  }
  if (Ref<CTMCActorRecord> displaced = actor->sent->fetchForKeyAs<CTMCActorRecord>(posting.uid->value()))
    CTMActorAnswerLeaving(actor, displaced.get());
  if (actor->sent->store(record, posting.uid->value()) != 0) {
    CTMActorComplain(actor, "out of memory");
    return false;
  }
  return true;
}

// The chunk did not go out: the record must not stay behind as if it had.
Ref<MRKCSymbol> CTMActorForget(CTMTActor* actor, const CTMTPosting& posting) {
  actor->sent->removeForKey(posting.uid->value());
  return nullptr;
}

// Every other record of the kind stops resending.
void CTMActorReplace(CTMTActor* actor, const CTMTPosting& posting, uint32_t kind) {
  const double now = CTMActorNow();
  const std::string& kept = posting.uid->value();
  actor->sent->forEach([&](const std::string& uid, LLKBObject* object) {
    auto* record = static_cast<CTMCActorRecord*>(object);
    if (record->iCType != kind || uid == kept) return;
    record->iPosted = record->iStaged = now;
    record->iRepeats = record->iRetries = 0;
  });
}

// The processor labels of the usable links of the gist (which must be a func); empty when
// links are off or none is strong enough.
Ref<LLKCObjectList> CTMActorFindLinks(CTMTActor* actor, MRKBTerm* gist) {
  Ref<LLKCObjectList> found = LLKCObjectList::listWithCapacity(8);
  if (found && actor->linksOn) CTMFActorLinksSearch(actor, asFunc(gist), found.get());
  return found;
}

std::vector<std::string> CTMActorLinkTargets(const LLKCObjectList& links) {
  std::vector<std::string> targets;
  for (const auto& object : links) targets.push_back(static_cast<CTMCActorLink*>(object.get())->iProc->value());
  return targets;
}

// The posted or noticed chunk's sender label.
std::string CTMActorSender(MRKCList* chunk) {
  MRKCSymbol* sender = chunk ? asSymbol(chunk->fetchAtIndex(0)) : nullptr;
  return sender ? sender->value() : std::string();
}

Ref<MRKCSymbol> CTMActorPublishTerms(CTMTActor* actor, MRKCFrame* options, MRKBTerm* kind, MRKBTerm* gist, float weight,
                                     float mood,
                                     Ref<MRKCSymbol> (*post)(CTMTActor*, MRKCFrame*, MRKBTerm*, MRKCList*)) {
  if (!actor || !kind) return nullptr;
  Ref<MRKCNumber> w = MRKCNumber::numberWithReal(weight);
  Ref<MRKCNumber> m = MRKCNumber::numberWithReal(mood);
  Ref<MRKCList> terms = w && m ? MRKCList::listWithTerms({gist, w.get(), m.get()}) : nullptr;
  if (!terms || terms->count() != 3) {
    CTMActorComplain(actor, "mismatched terms for posting tweet");
    return nullptr;
  }
  return post(actor, options, kind, terms.get());
}

Ref<MRKCSymbol> CTMActorPostQueryCommand(CTMTActor* actor, MRKCFrame* options, MRKBTerm* kind, MRKCList* terms) {
  return CTMFActorPostQuery(actor, options, kind, terms, nullptr);
}

Ref<MRKBTerm> CTMActorKindFunc(MRKCSymbol* label, MRKCSymbol* uid) {
  if (!uid) return nullptr;
  Ref<MRKCList> terms = MRKCList::listWithTerms({uid});
  return terms ? MRKCFunc::funcWithLabel(label, terms.get()) : nullptr;
}

// What a reply and kudos share up to sending: the uid they answer (the first term of their
// kind, reply(<query uid>) or kudos(<reply uid>)), the chunk, and its record kept in sent with
// the options both read. Null when any of it is missing.
Ref<CTMCActorRecord> CTMActorPrepareAnswer(CTMTActor* actor, MRKCFrame* options, MRKBTerm* kind, MRKCList* terms,
                                           uint32_t type, CTMTPosting* posting, MRKCSymbol** answered) {
  if (!actor) return nullptr;
  MRKCFunc* func = asFunc(kind);
  *answered = func ? asSymbol(func->terms()->head()) : nullptr;
  if (!*answered) {
    CTMActorComplain(actor, "mismatched terms for posting tweet");
    return nullptr;
  }
  if (!CTMActorPrepare(actor, options, kind, terms, actor->tick + 1, posting)) return nullptr;
  Ref<CTMCActorRecord> record = adoptRef(new CTMCActorRecord(posting->chunk.get(), type));
  if (!CTMActorRemember(actor, *posting, record)) return nullptr;
  record->iWeight = posting->weight;
  record->iWBoost = MRKFFrameFetchReal(options, "boost", 0.0);
  record->iRetries = MRKFFrameFetchSint(options, "retries", 0);
  return record;
}

// Sends a reply or kudos: by link flash to the sender of the noticed chunk it answers when
// direct is given (no retries then), else through the stage; then the own-label copy. The uid,
// or null (and no record left behind) when the chunk did not go out.
Ref<MRKCSymbol> CTMActorSendAnswer(CTMTActor* actor, const CTMTPosting& posting, CTMCActorRecord* record,
                                   const CTMCActorNotice* direct) {
  bool sent;
  if (direct) {
    sent = CTMActorFlashLink(actor, posting.chunk.get(), {CTMActorSender(direct->iChunk.get())});
    record->iRetries = 0;
    record->iStaged = CTMActorNow();
  } else {
    sent = CTMActorPublishCarrier(actor, posting.chunk.get());
  }
  if (!sent) return CTMActorForget(actor, posting);
  CTMActorPublishOwnCopy(actor, posting.chunk.get());
  return posting.uid;
}

}  // namespace

Ref<MRKCSymbol> CTMFActorPublishTweet(CTMTActor* actor, MRKCFrame* options, MRKBTerm* gist, float weight, float mood) {
  return actor ? CTMActorPublishTerms(actor, options, actor->tweetSym.get(), gist, weight, mood, CTMFActorPostTweet)
               : nullptr;
}

Ref<MRKCSymbol> CTMFActorPublishQuery(CTMTActor* actor, MRKCFrame* options, MRKBTerm* gist, float weight, float mood) {
  return actor
             ? CTMActorPublishTerms(actor, options, actor->querySym.get(), gist, weight, mood, CTMActorPostQueryCommand)
             : nullptr;
}

Ref<MRKCSymbol> CTMFActorPublishReply(CTMTActor* actor, MRKCFrame* options, MRKBTerm* gist, MRKCSymbol* queryUid,
                                      float weight, float mood) {
  if (!actor) return nullptr;
  Ref<MRKBTerm> kind = CTMActorKindFunc(actor->replySym.get(), queryUid);
  return CTMActorPublishTerms(actor, options, kind.get(), gist, weight, mood, CTMFActorPostReply);
}

Ref<MRKCSymbol> CTMFActorPublishKudos(CTMTActor* actor, MRKCFrame* options, MRKBTerm* amount, MRKCSymbol* replyUid,
                                      float weight, float mood) {
  if (!actor || !asNumber(amount)) return nullptr;
  Ref<MRKBTerm> kind = CTMActorKindFunc(actor->kudosSym.get(), replyUid);
  return CTMActorPublishTerms(actor, options, kind.get(), amount, weight, mood, CTMFActorPostKudos);
}

Ref<MRKCSymbol> CTMFActorPostTweet(CTMTActor* actor, MRKCFrame* options, MRKBTerm* kind, MRKCList* terms) {
  if (!actor) return nullptr;
  CTMTPosting posting;
  if (!CTMActorPrepare(actor, options, kind, terms, actor->tick + 1, &posting)) return nullptr;
  Ref<CTMCActorRecord> record = adoptRef(new CTMCActorRecord(posting.chunk.get(), kCTMChunkTweet));
  if (!CTMActorRemember(actor, posting, record)) return nullptr;
  record->iWeight = posting.weight;
  record->iWBoost = MRKFFrameFetchReal(options, "boost", 0.0);
  record->iRetries = MRKFFrameFetchSint(options, "retries", 0);
  const int64_t repeats = MRKFFrameFetchSint(options, "repeats", 0);
  record->iRepeats = repeats >= 2 ? repeats - 1 : repeats;

  Ref<LLKCObjectList> links = CTMActorFindLinks(actor, CTMActorChunkGist(posting.chunk.get()));
  if (!links) return CTMActorForget(actor, posting);
  CTMActorPublishOwnCopy(actor, posting.chunk.get());
  if (links->count() == 0) {
    if (!CTMActorPublishCarrier(actor, posting.chunk.get())) return CTMActorForget(actor, posting);
  } else {
    if (!CTMActorFlashLink(actor, posting.chunk.get(), CTMActorLinkTargets(*links)))
      return CTMActorForget(actor, posting);
    record->iStaged = actor->time;
    record->iRepeats = record->iRetries = 0;
  }
  if (MRKFFrameFetchBool(options, "replace", false)) CTMActorReplace(actor, posting, kCTMChunkTweet);
  return posting.uid;
}

Ref<MRKCSymbol> CTMFActorPostQuery(CTMTActor* actor, MRKCFrame* options, MRKBTerm* kind, MRKCList* terms,
                                   MRKCQuery* query) {
  if (!actor || !terms) return nullptr;
  Ref<LLKCObjectList> links = CTMActorFindLinks(actor, terms->fetchAtIndex(0));
  if (!links) {
    CTMActorComplain(actor, "out of memory");
    return nullptr;
  }
  const bool linked = links->count() > 0;
  CTMTPosting posting;
  if (!CTMActorPrepare(actor, options, kind, terms, linked ? actor->tick : actor->tick + 1, &posting)) return nullptr;
  Ref<CTMCActorRecord> record = adoptRef(new CTMCActorRecord(posting.chunk.get(), query));
  if (!CTMActorRemember(actor, posting, record)) return nullptr;
  record->iWeight = posting.weight;
  record->iWBoost = MRKFFrameFetchReal(options, "boost", 0.0);
  record->iCollect = MRKFFrameFetchBool(options, "collect", false);
  record->iDiverse = MRKFFrameFetchBool(options, "diverse", false);
  record->iTimeout = MRKFFrameFetchReal(options, "timeout", 0.0);

  if (!linked) {
    record->iRetries = MRKFFrameFetchSint(options, "retries", 0);
    CTMActorPublishOwnCopy(actor, posting.chunk.get());
    if (!CTMActorPublishCarrier(actor, posting.chunk.get())) return CTMActorForget(actor, posting);
  } else {
    record->iStaged = actor->time;
    const double dropout = MRKFFrameFetchReal(options, "dropout", 0.0);
    if (dropout > 0)
      for (const auto& object : *links) static_cast<CTMCActorLink*>(object.get())->iPull -= dropout;
    bool sent = CTMActorFlashLink(actor, posting.chunk.get(), CTMActorLinkTargets(*links));
    if (MRKFFrameFetchBool(options, "wide", false)) {
      sent = CTMActorPublishCarrier(actor, posting.chunk.get()) && sent;
      record->iRetries = MRKFFrameFetchSint(options, "retries", 0);
    }
    if (!sent) return CTMActorForget(actor, posting);
    CTMActorPublishOwnCopy(actor, posting.chunk.get());
  }
  if (MRKFFrameFetchBool(options, "replace", false)) CTMActorReplace(actor, posting, kCTMChunkQuery);
  return posting.uid;
}

Ref<MRKCSymbol> CTMFActorPostReply(CTMTActor* actor, MRKCFrame* options, MRKBTerm* kind, MRKCList* terms) {
  CTMTPosting posting;
  MRKCSymbol* queryUid = nullptr;
  Ref<CTMCActorRecord> record = CTMActorPrepareAnswer(actor, options, kind, terms, kCTMChunkReply, &posting, &queryUid);
  if (!record) return nullptr;
  record->iDKudos = Ref<MRKCList>(asList(MRKFFrameFetchTerm(options, "kudos")));
  record->iOptions = Ref<MRKCFrame>(options);
  // A query that came by direct link is answered the same way.
  Ref<CTMCActorNotice> notice = actor->received->fetchForKeyAs<CTMCActorNotice>(queryUid->value());
  return CTMActorSendAnswer(actor, posting, record.get(), notice && notice->iFlashed ? notice.get() : nullptr);
}

Ref<MRKCSymbol> CTMFActorPostKudos(CTMTActor* actor, MRKCFrame* options, MRKBTerm* kind, MRKCList* terms) {
  // Kudos are an amount: anything but a finite number is ignored by the replier and would
  // give the learned link a pull that is not a number.
  MRKCNumber* amount = terms ? asNumber(terms->fetchAtIndex(0)) : nullptr;
  if (!amount || !std::isfinite(amount->real())) {
    CTMActorComplain(actor, "mismatched terms for posting tweet");
    return nullptr;
  }
  CTMTPosting posting;
  MRKCSymbol* replyUid = nullptr;
  Ref<CTMCActorRecord> record = CTMActorPrepareAnswer(actor, options, kind, terms, kCTMChunkKudos, &posting, &replyUid);
  if (!record) return nullptr;
  // Kudos go straight to the replier when its reply came by direct link, or, with ukudo, for
  // any reply the actor has seen.
  Ref<CTMCActorNotice> notice = actor->received->fetchForKeyAs<CTMCActorNotice>(replyUid->value());
  const bool direct = notice && (notice->iFlashed || actor->ukudo);
  if (!CTMActorSendAnswer(actor, posting, record.get(), direct ? notice.get() : nullptr)) return nullptr;

  // Learning: the replier earns a link from the shape of the query it answered.
  if (!notice) return posting.uid;
  MRKCFunc* answered = CTMActorChunkKindFunc(notice->iChunk.get());
  MRKCSymbol* queryUid = answered ? asSymbol(answered->terms()->head()) : nullptr;
  Ref<CTMCActorRecord> query = queryUid ? actor->sent->fetchForKeyAs<CTMCActorRecord>(queryUid->value()) : nullptr;
  MRKCSymbol* replier = asSymbol(notice->iChunk->fetchAtIndex(0));
  if (!query || !replier) return posting.uid;
  Ref<MRKBTerm> pattern = CTMFActorGeneralizeTerm(CTMActorChunkGist(query->iChunk.get()));
  CTMFActorLinksUpdate(actor, asFunc(pattern.get()), replier, amount->real());
  return posting.uid;
}

void CTMFActorChunkResend(CTMTActor* actor) {
  if (!actor) return;
  // Publishing calls out: the few records still to resend are gathered first and checked again.
  std::vector<Ref<CTMCActorRecord>> pending;
  actor->sent->forEach([&pending](const std::string&, LLKBObject* object) {
    auto* record = static_cast<CTMCActorRecord*>(object);
    if (record->iRetries != 0 || record->iRepeats != 0) pending.push_back(Ref<CTMCActorRecord>(record));
  });
  for (const auto& record : pending) {
    if (record->iRetries == 0 && record->iRepeats == 0) continue;
    double base = record->iWeight;
    if (record->iRepeats >= 0) base += record->iWBoost * base;
    Ref<MRKCList> copy = record->iChunk ? record->iChunk->copy() : nullptr;
    const double modified = CTMFActorModifiedWeight(actor, base);
    Ref<MRKCNumber> weight = MRKCNumber::numberWithReal(modified);
    Ref<MRKCNumber> intensity = MRKCNumber::numberWithReal(std::fabs(modified));
    if (!copy || copy->count() != 8 || !weight || !intensity) continue;
    copy->store(weight.get(), 5);
    copy->store(intensity.get(), 6);
    if (!CTMActorPublishCarrier(actor, copy.get())) continue;
    record->iWeight = base;
    record->iChunk = copy;
    if (record->iRetries > 0) --record->iRetries;
    else if (record->iRepeats > 0) --record->iRepeats;
  }
}

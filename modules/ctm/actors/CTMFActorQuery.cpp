// The commands an actor takes as substrate queries (tweet, query, reply, kudos, recall, await),
// the standing waits, the memory of past stages and the scraps that cancel pending queries.
#include "framework/substrate/MRKFTerms.h"
#include "framework/substrate/MRKFUnify.h"
#include "modules/ctm/actors/CTMActorSupport.h"

namespace {
bool CTMActorIsNamed(MRKCSymbol* name, std::string_view value) { return name->compareToChars(value) == 0; }

// A posting command answers at once whether the chunk went out.
bool CTMActorAnswerPosted(CTMTActor* actor, MRKCQuery* query, const Ref<MRKCSymbol>& uid) {
  CTMFActorReplyToQuery(actor, query, uid ? 1.0 : 0.0);
  return false;
}

bool CTMActorRecallCommand(CTMTActor* actor, MRKCQuery* query, MRKCSymbol* name, MRKCList* terms) {
  MRKCFrame* options = asFrame(terms->fetchAtIndex(1));
  Ref<MRKCList> found = CTMFActorRecallSearch(actor, terms->fetchAtIndex(2), MRKFFrameFetchBool(options, "own", false));
  if (!found) {
    CTMActorComplain(actor, "out of memory");
    return false;
  }
  bool ok = MRKFUnifyTermsIsolated(actor->proc->substrate(), actor->proc, found.get(), terms->fetchAtIndex(3));
  Ref<MRKCStatement> statement = MRKFMakeStatementWith4Terms(query->label(), name, terms->fetchAtIndex(1),
                                                             terms->fetchAtIndex(2), found.get(), ok ? 1.0 : 0.0);
  if (statement) CTMActorAnswer(actor, query, statement.get(), true);
  else CTMActorComplain(actor, "out of memory");
  return false;
}

bool CTMActorAwaitCommand(CTMTActor* actor, MRKCQuery* query, MRKCList* terms) {
  MRKCFrame* options = asFrame(terms->fetchAtIndex(1));
  Ref<CTMCActorWait> wait = CTMCActorWait::waitWithQuery(query, terms->fetchAtIndex(2), terms->fetchAtIndex(3));
  if (!wait || !wait->iFilter || !wait->iResult) {
    CTMActorComplain(actor, "out of memory");
    CTMFActorReplyToQuery(actor, query, 0.0);
    return false;
  }
  wait->iLimit = static_cast<uint32_t>(MRKFFrameFetchUint(options, "limit", 0));
  wait->iTimeout = MRKFFrameFetchReal(options, "timeout", 0.0);
  wait->iSTick = actor->tick;
  wait->iTTick = actor->time;
  wait->iCollect = MRKFFrameFetchBool(options, "collect", false);
  if (actor->awaits->store(wait, CTMActorContextKey(query->context())) != 0) {
    CTMActorComplain(actor, "out of memory");
    CTMFActorReplyToQuery(actor, query, 0.0);
  }
  return false;
}

// Removes the entries whose query has the context; true when one went.
bool CTMActorCancel(LLKCObjectMap* table, const MRKCContext* context, bool queriesOnly) {
  bool removed = false;
  for (const auto& [key, object] : table->snapshot()) {
    MRKCQuery* query = nullptr;
    if (auto* record = dynamic_cast<CTMCActorRecord*>(object.get())) {
      if (queriesOnly && record->iCType != kCTMChunkQuery) continue;
      query = record->iQuery.get();
    } else if (auto* wait = dynamic_cast<CTMCActorWait*>(object.get())) {
      query = wait->iQuery.get();
    }
    if (query && query->context() == context) {
      table->removeForKey(key);
      removed = true;
    }
  }
  return removed;
}
}  // namespace

bool CTMFActorReceivedQuery(CTMTActor* actor, MRKCQuery* query) {
  MRKCPredicate* predicate = query ? query->predicate() : nullptr;
  MRKCList* terms = predicate ? predicate->terms() : nullptr;
  if (!actor || !terms || terms->count() < 3) return true;
  MRKCFunc* head = asFunc(terms->head());
  MRKCSymbol* name = head ? head->label() : asSymbol(terms->head());
  if (!name) return true;
  MRKCFrame* options = asFrame(terms->fetchAtIndex(1));

  const bool recall = CTMActorIsNamed(name, "recall"), await = CTMActorIsNamed(name, "await");
  if (recall || await) {
    if (terms->count() != 4) return true;
    return recall ? CTMActorRecallCommand(actor, query, name, terms) : CTMActorAwaitCommand(actor, query, terms);
  }

  MRKCList* posting = asList(terms->fetchAtIndex(2));
  if (!posting || posting->count() != 3) return true;
  if (CTMActorIsNamed(name, "tweet"))
    return CTMActorAnswerPosted(actor, query, CTMFActorPostTweet(actor, options, name, posting));
  if (CTMActorIsNamed(name, "query")) {
    if (terms->count() == 3)
      return CTMActorAnswerPosted(actor, query, CTMFActorPostQuery(actor, options, name, posting, nullptr));
    // Answered later, by the winning replies or at the latest when the query times out or is
    // forgotten; a query that could not be posted is answered "no" now.
    if (!CTMFActorPostQuery(actor, options, name, posting, query)) CTMFActorReplyToQuery(actor, query, 0.0);
    return false;
  }
  // A reply or kudos names what it answers: reply(<query uid>), kudos(<reply uid>).
  const bool reply = CTMActorIsNamed(name, "reply"), kudos = CTMActorIsNamed(name, "kudos");
  if (!reply && !kudos) return true;
  if (!head) {
    CTMActorComplain(actor, "mismatched terms for posting tweet");
    CTMFActorReplyToQuery(actor, query, 0.0);
    return false;
  }
  return CTMActorAnswerPosted(
      actor, query,
      reply ? CTMFActorPostReply(actor, options, head, posting) : CTMFActorPostKudos(actor, options, head, posting));
}

bool CTMFActorReplyToQuery(CTMTActor* actor, MRKCQuery* query, double value) {
  if (!actor || !query) return false;
  Ref<MRKCStatement> statement =
      MRKCStatement::statementWithLabel(query->predicate()->label()->value(), query->predicate()->terms(), value);
  if (!statement) return false;
  return CTMActorAnswer(actor, query, statement.get(), true);
}

Ref<MRKCList> CTMFActorRecallSearch(CTMTActor* actor, MRKBTerm* pattern, bool own) {
  if (!actor) return nullptr;
  std::vector<Ref<MRKBTerm>> candidates;
  if (own) {
    actor->sent->forEach([&candidates](const std::string&, LLKBObject* object) {
      if (MRKCList* chunk = static_cast<CTMCActorRecord*>(object)->iChunk.get())
        candidates.push_back(Ref<MRKBTerm>(chunk));
    });
  } else {
    for (const auto& object : *actor->recalls)
      for (const auto& chunk : static_cast<CTMCActorRecall*>(object.get())->iStage->terms())
        candidates.push_back(chunk);
  }
  Ref<MRKCList> found = MRKCList::listWithCapacity(candidates.size());
  Ref<MRKCVariables> bindings = MRKCVariables::variables();
  if (!found || !bindings) return nullptr;
  for (const auto& chunk : candidates) {
    if (MRKFUnifyTerms(actor->proc->substrate(), actor->proc, chunk.get(), pattern, bindings.get()))
      found->append(chunk.get());
    bindings->clear();
  }
  found->compact();
  return found;
}

void CTMFActorRecallConsume(CTMTActor* actor, MRKCList* stage) {
  if (!actor || !stage) return;
  Ref<CTMCActorRecall> recall = adoptRef(new CTMCActorRecall(stage));
  actor->recalls->prepend(recall);
}

void CTMFActorRecallCleanup(CTMTActor* actor, double cutoff) {
  if (!actor || cutoff == 0) return;
  for (const auto& object : actor->recalls->snapshot())
    if (static_cast<CTMCActorRecall*>(object.get())->iTick < cutoff) actor->recalls->remove(object.get());
}

uint32_t CTMFActorRecallCount(const CTMTActor* actor) {
  if (!actor) return 0;
  size_t count = 0;
  for (const auto& object : *actor->recalls) count += static_cast<CTMCActorRecall*>(object.get())->iStage->count();
  return static_cast<uint32_t>(count);
}

void CTMFActorAwaitsHandleChunk(CTMTActor* actor, MRKBTerm* chunk) {
  if (!actor || !chunk) return;
  for (const auto& [key, object] : actor->awaits->snapshot()) {
    auto* wait = static_cast<CTMCActorWait*>(object.get());
    if (wait->iLimit != 0 && wait->iCount >= wait->iLimit) continue;
    MRKCSubstrate* substrate = actor->proc->substrate();
    if (!MRKFUnifyTerms(substrate, actor->proc, chunk, wait->iFilter.get(), wait->iVariables.get())) {
      wait->iVariables->clear();
      continue;
    }
    Ref<MRKBTerm> data(chunk);
    if (wait->iCollect) {
      Ref<MRKCList> collected = MRKCList::listWithCapacity(1 + (wait->iCList ? wait->iCList->count() : 0));
      if (collected) {
        collected->append(chunk);
        if (wait->iCList)
          for (const auto& older : wait->iCList->terms()) collected->append(older.get());
        wait->iCList = collected;
        data = collected;
      }
    }
    MRKCList* predicateTerms = wait->iQuery->predicate()->terms();
    bool ok = MRKFUnifyTermsIsolated(substrate, actor->proc, data.get(), wait->iResult.get());
    Ref<MRKCStatement> statement =
        MRKFMakeStatementWith4Terms(wait->iQuery->label(), predicateTerms->fetchAtIndex(0),
                                    predicateTerms->fetchAtIndex(1), wait->iFilter.get(), data.get(), ok ? 1.0 : 0.0);
    if (statement) {
      CTMActorAnswer(actor, wait->iQuery.get(), statement.get(), true);
      ++wait->iCount;
    }
    wait->iVariables->clear();
  }
}

void CTMFActorAwaitsHandleStage(CTMTActor* actor, MRKCList* stage) {
  if (!actor || !stage) return;
  for (const auto& chunk : stage->terms())
    if (asList(chunk.get())) CTMFActorAwaitsHandleChunk(actor, chunk.get());
}

void CTMFActorAwaitsCleanup(CTMTActor* actor) {
  if (!actor) return;
  for (const auto& [key, object] : actor->awaits->snapshot()) {
    auto* wait = static_cast<CTMCActorWait*>(object.get());
    const bool timedOut = wait->iTimeout != 0 && actor->time > wait->iTTick + wait->iTimeout;
    const bool exhausted = wait->iLimit != 0 && wait->iCount >= wait->iLimit;
    if (timedOut || exhausted) actor->awaits->removeForKey(key);
  }
}

bool CTMFActorReceivedScrap(CTMTActor* actor, MRKCScrap* scrap) {
  if (!actor || !scrap) return true;
  // Both the pending query records and the waits of every context go: a scrap that named a
  // query and a wait must not leave the wait answering a gone asker.
  bool removed = false;
  for (const auto& context : scrap->awaiting()) {
    if (!context) continue;
    removed = CTMActorCancel(actor->sent.get(), context.get(), true) | removed;
    removed = CTMActorCancel(actor->awaits.get(), context.get(), false) | removed;
  }
  return !removed;
}

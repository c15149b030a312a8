// Links: chunks whose gist matches a strong enough link go straight to the linked processor.
// One gist label holds a table of links; a link belongs to one gist pattern and one processor,
// so kudos earned by one replier never strengthen the link to another.
#include "framework/core/LLKCObjectTable.h"
#include "framework/core/LLKCObjectTuple.h"
#include "framework/substrate/MRKCVariable.h"
#include "framework/substrate/MRKFUnify.h"
#include "modules/ctm/actors/CTMActorSupport.h"

namespace {
uint64_t CTMActorLinkKey(MRKCFunc* gist, MRKCSymbol* processor) {
  return MRKFHashMix(gist->hashCode(), processor->hashCode());
}

Ref<LLKCObjectTable> CTMActorLinkTable(const CTMTActor* actor, MRKCFunc* gist) {
  Ref<LLKCObjectTuple> pair = actor->links->fetchForKeyAs<LLKCObjectTuple>(gist->label()->value());
  return pair ? pair->fetchAtIndexAs<LLKCObjectTable>(1) : nullptr;
}
}  // namespace

void CTMFActorListToLink(CTMTActor* actor, MRKCList* list) {
  if (!actor || !list) return;
  for (const auto& member : list->terms()) {
    MRKCList* entry = asList(member.get());
    if (!entry || entry->count() != 3) continue;
    MRKCFunc* gist = asFunc(entry->fetchAtIndex(0));
    MRKCSymbol* processor = asSymbol(entry->fetchAtIndex(1));
    MRKCNumber* pull = asNumber(entry->fetchAtIndex(2));
    if (!gist || !processor || !pull) {
      CTMActorComplain(actor, "incorrect content in links property");
      continue;
    }
    CTMFActorLinksUpdate(actor, gist, processor, pull->real());
  }
}

void CTMFActorLinksUpdate(CTMTActor* actor, MRKCFunc* gist, MRKCSymbol* processor, double pull) {
  if (!actor || !actor->linksOn || !gist || !processor) return;
  Ref<LLKCObjectTable> table = CTMActorLinkTable(actor, gist);
  if (!table) {
    table = LLKCObjectTable::tableWithCapacity(8);
    Ref<LLKCObjectTuple> pair =
        table ? LLKCObjectTuple::tupleWithObjects({Ref<LLKBObject>(gist->label()), table}) : nullptr;
    if (!pair || !pair->fetchAtIndex(0) || !pair->fetchAtIndex(1)) return;
    if (actor->links->store(pair, gist->label()->value()) != 0) return;
  }
  const uint64_t key = CTMActorLinkKey(gist, processor);
  if (Ref<CTMCActorLink> link = table->fetchForKeyAs<CTMCActorLink>(key)) {
    link->iPull += pull;
    return;
  }
  Ref<CTMCActorLink> link = adoptRef(new CTMCActorLink(processor, gist, pull));
  table->store(link, key);
}

bool CTMFActorLinksSearch(CTMTActor* actor, MRKCFunc* gist, LLKCObjectList* out) {
  if (!actor || !actor->linksOn || !gist || !out) return false;
  Ref<LLKCObjectTable> table = CTMActorLinkTable(actor, gist);
  if (!table) return false;
  for (const auto& [key, object] : table->snapshot()) {
    auto* link = static_cast<CTMCActorLink*>(object.get());
    if (link->iPull >= actor->tlink &&
        MRKFUnifyTermsIsolated(actor->proc->substrate(), actor->proc, gist, link->iGist.get()))
      out->append(object);
  }
  return out->count() > 0;
}

Ref<MRKCList> CTMFActorLinkToList(CTMTActor* actor) {
  if (!actor) return nullptr;
  Ref<MRKCList> list = MRKCList::listWithCapacity(16);
  if (!list) return nullptr;
  for (const auto& [label, object] : actor->links->snapshot()) {
    Ref<LLKCObjectTable> table = static_cast<LLKCObjectTuple*>(object.get())->fetchAtIndexAs<LLKCObjectTable>(1);
    if (!table) continue;
    for (const auto& [key, linkObject] : table->snapshot()) {
      auto* link = static_cast<CTMCActorLink*>(linkObject.get());
      Ref<MRKCNumber> pull = MRKCNumber::numberWithReal(link->iPull);
      Ref<MRKCList> entry =
          pull ? MRKCList::listWithTerms({link->iGist.get(), link->iProc.get(), pull.get()}) : nullptr;
      if (entry) list->append(entry.get());
    }
  }
  list->compact();
  return list;
}

Ref<MRKBTerm> CTMFActorGeneralizeTerm(MRKBTerm* term) {
  if (!term) return nullptr;
  const char* kind = nullptr;
  switch (term->ttid()) {
    case kMRKTermNumber:
      kind = "is.number";
      break;
    case kMRKTermSymbol:
      kind = "is.symbol";
      break;
    case kMRKTermString:
      kind = "is.string";
      break;
    case kMRKTermBinary:
      kind = "is.binary";
      break;
    case kMRKTermRegexp:
      kind = "is.regexp";
      break;
    case kMRKTermList:
      kind = "is.list";
      break;
    case kMRKTermFrame:
      kind = "is.frame";
      break;
    case kMRKTermRange:
      kind = "is.range";
      break;
    case kMRKTermEscaper:
      kind = "is.escaper";
      break;
    case kMRKTermGuid:
      kind = "is.guid";
      break;
    case kMRKTermQuirk:
      kind = "is.quirk";
      break;
    case kMRKTermData:
      kind = "is.data";
      break;
    case kMRKTermFunc: {
      MRKCFunc* func = term->asFunc();
      Ref<MRKCList> terms = MRKCList::listWithCapacity(func->terms()->count());
      if (!terms) return nullptr;
      for (const auto& member : func->terms()->terms()) {
        Ref<MRKBTerm> general = CTMFActorGeneralizeTerm(member.get());
        if (!general) return nullptr;
        terms->append(general.get());
      }
      return MRKCFunc::funcWithLabel(func->label(), terms.get());
    }
    default:
      return MRKCVariable::variableAsWildcard();
  }
  Ref<MRKCSymbol> constraint = MRKCSymbol::symbolWithValue(kind);
  Ref<MRKCList> constraints = constraint ? MRKCList::listWithTerms({constraint.get()}) : nullptr;
  return constraints ? MRKCVariable::variableAsWildcardWithConstraint(constraints.get()) : nullptr;
}

bool CTMFActorGistInList(const CTMTActor* actor, MRKCList* list, MRKCList* chunk) {
  MRKBTerm* gist = CTMActorChunkGist(chunk);
  if (!list || !gist) return false;
  for (const auto& member : list->terms())
    if (MRKBTerm* other = CTMActorChunkGist(asList(member.get())); other && other->compareTo(gist) == 0) return true;
  return false;
}

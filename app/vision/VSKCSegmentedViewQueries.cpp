// The segmented feed's peeks and pokes of its segmenter's properties.
#include "app/vision/VSKCSegmentedView.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKCSymbol.h"
#include "framework/substrate/MRKCVariable.h"

bool VSKCSegmentedView::VSKFSegmentedViewPeek(const char* key, LLKTMessageCode code) {
  Ref<MRKCVariable> any = MRKCVariable::variableAsWildcard();
  return inquire("peek", key, code, any.get());
}

bool VSKCSegmentedView::VSKFSegmentedViewPoke(const char* key, LLKTMessageCode code, MRKBTerm* value) {
  return inquire("poke", key, code, value);
}

bool VSKCSegmentedView::inquire(const char* verb, const char* key, LLKTMessageCode code, MRKBTerm* value) {
  Ref<MRKCSymbol> name = MRKCSymbol::symbolWithValue(key);
  Ref<MRKCList> terms = name && value ? MRKCList::listWithTerms({name.get(), value}) : nullptr;
  Ref<MRKCFunc> func = terms && terms->count() == 2 ? MRKCFunc::funcWithLabel(verb, terms.get()) : nullptr;
  Ref<MRKCList> request = func ? MRKCList::listWithTerms({func.get()}) : nullptr;
  Ref<MRKCContext> context = MRKCContext::contextWithCode(code.value(), record_.context.get());
  Ref<MRKCPredicate> predicate =
      request ? MRKCPredicate::predicateWithLabel(record_.processor, request.get()) : nullptr;
  Ref<MRKCQuery> query =
      predicate ? MRKCQuery::queryWithPredicate(predicate.get(), context.get(), observer().ttl()) : nullptr;
  MRKCSubstrate* substrate = MRKCSubstrate::shared();
  return query && substrate && substrate->inquire(query.get(), observer().guid());
}

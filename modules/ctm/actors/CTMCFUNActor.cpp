#include "modules/ctm/actors/CTMCFUNActor.h"

#include "framework/substrate/MRKCSubstrate.h"

void CTMCFUNActor::onAttached() {
  CTMTActorShell::onAttached();
  MRKCSubstrate* host = substrate();
  quote_ = host ? host->symbols()->store("quote") : MRKCSymbol::symbolWithValue("quote");
}

Ref<MRKCFunc> CTMCFUNActor::quoted(MRKBTerm* term) const {
  Ref<MRKCList> terms = term ? MRKCList::listWithTerms({term}) : nullptr;
  return terms && quote_ ? MRKCFunc::funcWithLabel(quote_.get(), terms.get()) : nullptr;
}

Ref<MRKCList> CTMCFUNActor::eventArguments(MRKCList* rest) const {
  if (rest->count() == 3) {
    Ref<MRKCFunc> second = quoted(rest->fetchAtIndex(1)), last = quoted(rest->tail());
    return second && last ? MRKCList::listWithTerms({rest->head(), second.get(), last.get()}) : nullptr;
  }
  if (rest->count() == 2) {
    Ref<MRKCFunc> last = quoted(rest->tail());
    return last ? MRKCList::listWithTerms({rest->head(), last.get()}) : nullptr;
  }
  return Ref<MRKCList>(rest);
}

void CTMCFUNActor::onReceivedQuery(MRKCQuery* query, const std::string& source) {
  MRKCList* terms = query && query->predicate() ? query->predicate()->terms() : nullptr;
  MRKCSymbol* event = terms ? asSymbol(terms->head()) : nullptr;
  const bool isEvent = event && (event->compareToChars("init") == 0 || event->compareToChars("beat") == 0 ||
                                 event->compareToChars("tick") == 0 || event->compareToChars("link") == 0);
  if (!isEvent) {
    CTMTActorShell::onReceivedQuery(query, source);
    return;
  }
  Ref<MRKCList> rest = terms->rest();
  Ref<MRKCList> arguments = rest ? eventArguments(rest.get()) : nullptr;
  Ref<MRKCFunc> call = arguments ? MRKCFunc::funcWithLabel(event, arguments.get()) : nullptr;
  Ref<MRKCList> calls = call ? MRKCList::listWithTerms({call.get()}) : nullptr;
  if (calls) start(calls.get());
}

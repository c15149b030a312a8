#include "framework/substrate/MRKCVariables.h"

#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCQuirk.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCVariable.h"

Ref<MRKCVariables> MRKCVariables::variables() { return adoptRef(new MRKCVariables()); }

MRKBTerm* MRKCVariables::fetch(std::string_view name) const {
  auto found = bindings_.find(std::string(name));
  return found == bindings_.end() ? nullptr : found->second.get();
}

void MRKCVariables::store(MRKBTerm* term, std::string_view name) { bindings_[std::string(name)] = Ref<MRKBTerm>(term); }

void MRKCVariables::remove(std::string_view name) { bindings_.erase(std::string(name)); }

Ref<MRKBTerm> MRKCVariables::substitute(MRKBTerm* term) const {
  if (!term) return nullptr;
  if (MRKCVariable* variable = term->asVariable()) {
    MRKBTerm* bound = variable->isWildcard() ? nullptr : fetch(variable->name());
    // Unification never binds a variable into its own value, so the chain ends.
    return bound ? substitute(bound) : Ref<MRKBTerm>(term);
  }
  auto substituteList = [this](MRKCList* list) {
    Ref<MRKCList> out = MRKCList::listWithCapacity(list->count());
    for (const auto& member : list->terms()) out->append(substitute(member.get()).get());
    return out;
  };
  switch (term->ttid()) {
    case kMRKTermList:
      return substituteList(term->asList());
    case kMRKTermFunc: {
      MRKCFunc* func = term->asFunc();
      return MRKCFunc::funcWithLabel(func->label(), substituteList(func->terms()).get());
    }
    case kMRKTermPredicate: {
      MRKCPredicate* predicate = term->asPredicate();
      return MRKCPredicate::predicateWithLabel(predicate->label(), substituteList(predicate->terms()).get(),
                                               predicate->flags());
    }
    case kMRKTermFrame: {
      Ref<MRKCFrame> out = MRKCFrame::frame();
      for (const auto& [label, member] : term->asFrame()->members()) out->store(substitute(member.get()).get(), label);
      return out;
    }
    case kMRKTermQuirk: {
      MRKCQuirk* quirk = term->asQuirk();
      return MRKCQuirk::quirkWithHead(substitute(quirk->head()).get(), substitute(quirk->tail()).get());
    }
    case kMRKTermStatement: {
      MRKCStatement* statement = term->asStatement();
      return MRKCStatement::statementWithLabel(statement->label(), substituteList(statement->terms()).get(),
                                               statement->value());
    }
    default:
      return Ref<MRKBTerm>(term);
  }
}

#include "framework/substrate/MRKFUnify.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCQuirk.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCVariable.h"
#include "framework/substrate/MRKCReader.h"

namespace {

class Unifier {
public:
  explicit Unifier(MRKCVariables& bindings) : bindings_(bindings) {}

  bool unify(MRKBTerm* a, MRKBTerm* b, int depth) {
    if (!a || !b || depth > MRKCReader::kMaxDepth * 4) return false;
    MRKBTerm* ra = resolve(a);
    MRKBTerm* rb = resolve(b);
    if (!noteConstraint(a, ra) || !noteConstraint(b, rb)) return false;
    a = ra;
    b = rb;
    if (a == b) return true;
    if (MRKCVariable* variable = a->asVariable()) return unifyVariable(variable, b, depth);
    if (MRKCVariable* variable = b->asVariable()) return unifyVariable(variable, a, depth);
    if (a->ttid() != b->ttid()) return false;
    switch (a->ttid()) {
      case kMRKTermList:
        return unifyLists(a->asList(), b->asList(), depth);
      case kMRKTermFunc:
      case kMRKTermPredicate:
        return a->asFunc()->label()->compareTo(b->asFunc()->label()) == 0 &&
               unifyLists(a->asFunc()->terms(), b->asFunc()->terms(), depth);
      case kMRKTermFrame:
        return unifyFrames(a->asFrame(), b->asFrame(), depth);
      case kMRKTermQuirk:
        return unify(a->asQuirk()->head(), b->asQuirk()->head(), depth + 1) &&
               unify(a->asQuirk()->tail(), b->asQuirk()->tail(), depth + 1);
      case kMRKTermStatement: {
        MRKCStatement* x = a->asStatement();
        MRKCStatement* y = b->asStatement();
        return x->label() == y->label() && x->value() == y->value() && unifyLists(x->terms(), y->terms(), depth);
      }
      default:
        return a->compareTo(b) == 0;
    }
  }

  void undo() {
    for (auto it = trail_.rbegin(); it != trail_.rend(); ++it) bindings_.remove(*it);
    trail_.clear();
  }

private:
  // Follows bound named variables to what they stand for.
  MRKBTerm* resolve(MRKBTerm* term) {
    for (size_t steps = 0; steps <= bindings_.count(); ++steps) {
      MRKCVariable* variable = term->asVariable();
      if (!variable || variable->isWildcard()) return term;
      MRKBTerm* bound = bindings_.fetch(variable->name());
      if (!bound) return term;
      term = bound;
    }
    return term;
  }

  // A constrained occurrence of a variable that is bound elsewhere: its constraint holds for
  // what the variable stands for, now or once it is bound.
  bool noteConstraint(MRKBTerm* occurrence, MRKBTerm* resolved) {
    MRKCVariable* variable = occurrence->asVariable();
    if (!variable || !variable->constraint() || occurrence == resolved) return true;
    if (MRKCVariable* open = resolved->asVariable()) {
      if (!open->isWildcard()) pending_[open->name()].push_back(variable);
      return true;
    }
    return variable->admits(resolved);
  }

  bool bind(MRKCVariable* variable, MRKBTerm* term) {
    auto pending = pending_.find(variable->name());
    if (pending != pending_.end()) {
      if (MRKCVariable* open = term->asVariable()) {
        auto& into = pending_[open->name()];
        into.insert(into.end(), pending->second.begin(), pending->second.end());
      } else {
        for (MRKCVariable* constrained : pending->second)
          if (!constrained->admits(term)) return false;
      }
    }
    if (MRKCVariable* open = term->asVariable()) {
      if (variable->constraint()) pending_[open->name()].push_back(variable);
      if (open->constraint()) pending_[open->name()].push_back(open);
    }
    bindings_.store(term, variable->name());
    trail_.push_back(variable->name());
    return true;
  }

  bool unifyVariable(MRKCVariable* variable, MRKBTerm* term, int depth) {
    if (MRKCVariable* other = term->asVariable()) {
      // Two open variables: the one without constraints follows the other.
      if (variable->isWildcard() || other->isWildcard()) return true;
      if (variable->name() == other->name()) return true;
      return !variable->constraint() || other->constraint() ? bind(variable, term) : bind(other, variable);
    }
    if (!variable->admits(term)) return false;
    if (variable->isWildcard()) return true;
    if (occurs(variable->name(), term, depth)) return false;
    return bind(variable, term);
  }

  bool occurs(const std::string& name, MRKBTerm* term, int depth) {
    if (depth > MRKCReader::kMaxDepth * 4) return true;
    term = resolve(term);
    if (MRKCVariable* variable = term->asVariable()) return variable->name() == name;
    auto inList = [&](MRKCList* list) {
      for (const auto& member : list->terms())
        if (member && occurs(name, member.get(), depth + 1)) return true;
      return false;
    };
    if (MRKCList* list = term->asList()) return inList(list);
    if (MRKCFunc* func = term->asFunc()) return inList(func->terms());
    if (MRKCStatement* statement = term->asStatement()) return inList(statement->terms());
    if (MRKCQuirk* quirk = term->asQuirk())
      return occurs(name, quirk->head(), depth + 1) || occurs(name, quirk->tail(), depth + 1);
    if (MRKCFrame* frame = term->asFrame()) {
      for (const auto& member : frame->members())
        if (occurs(name, member.second.get(), depth + 1)) return true;
    }
    return false;
  }

  bool unifyLists(MRKCList* a, MRKCList* b, int depth) {
    if (a->count() != b->count()) return false;
    for (size_t i = 0; i < a->count(); ++i)
      if (!unify(a->fetchAtIndex(i), b->fetchAtIndex(i), depth + 1)) return false;
    return true;
  }

  bool unifyFrames(MRKCFrame* a, MRKCFrame* b, int depth) {
    if (a->count() != b->count()) return false;
    for (const auto& [label, term] : a->members())
      if (!unify(term.get(), b->fetchForLabel(label), depth + 1)) return false;
    return true;
  }

  MRKCVariables& bindings_;
  std::vector<std::string> trail_;
  std::unordered_map<std::string, std::vector<MRKCVariable*>> pending_;
};

}  // namespace

bool MRKFUnifyTerms(MRKCSubstrate*, MRKBProcessor*, MRKBTerm* a, MRKBTerm* b, MRKCVariables* bindings) {
  if (!bindings) return false;
  Unifier unifier(*bindings);
  if (unifier.unify(a, b, 0)) return true;
  unifier.undo();
  return false;
}

bool MRKFUnifyTermsIsolated(MRKCSubstrate* substrate, MRKBProcessor* processor, MRKBTerm* a, MRKBTerm* b) {
  Ref<MRKCVariables> bindings = MRKCVariables::variables();
  return MRKFUnifyTerms(substrate, processor, a, b, bindings.get());
}

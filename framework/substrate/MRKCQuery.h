#pragma once
// A query: a predicate asked of the processors labelled (or following) the predicate's label,
// with the context its replies carry.
#include "framework/substrate/MRKBMessage.h"
#include "framework/substrate/MRKCContext.h"
#include "framework/substrate/MRKCPredicate.h"

class MRKCQuery : public MRKBMessage {
public:
  // Null for a null predicate; a null context gets a fresh one.
  [[nodiscard]] static Ref<MRKCQuery> queryWithPredicate(MRKCPredicate* predicate, MRKCContext* context, float ttl);
  MRKCPredicate* predicate() const { return predicate_.get(); }
  MRKCContext* context() const { return context_.get(); }

private:
  MRKCQuery(Ref<MRKCPredicate> predicate, Ref<MRKCContext> context, float ttl);
  Ref<MRKCPredicate> predicate_;
  Ref<MRKCContext> context_;
};

#include "framework/substrate/MRKBMessage.h"

#include <limits>

#include "framework/substrate/MRKCFlash.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCScrap.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKFTerms.h"

MRKBMessage::MRKBMessage(std::string label, float ttl)
    : label_(std::move(label)), ttl_(ttl), stp_(MRKFNowInSeconds()) {}

bool MRKBMessage::isExpired() const { return !(MRKFNowInSeconds() - stp_ <= static_cast<double>(ttl_)); }

Ref<MRKCSquib> MRKCSquib::squibWithLabel(std::string_view label, MRKCStatement* statement, float ttl) {
  if (label.empty() || !statement) return nullptr;
  return adoptRef(new MRKCSquib(std::string(label), MRKCList::listWithTerms({statement}), ttl));
}

MRKCQuery::MRKCQuery(Ref<MRKCPredicate> predicate, Ref<MRKCContext> context, float ttl)
    : MRKBMessage(predicate->label()->value(), ttl), predicate_(std::move(predicate)), context_(std::move(context)) {}

Ref<MRKCQuery> MRKCQuery::queryWithPredicate(MRKCPredicate* predicate, MRKCContext* context, float ttl) {
  if (!predicate) return nullptr;
  return adoptRef(
      new MRKCQuery(Ref<MRKCPredicate>(predicate), context ? Ref<MRKCContext>(context) : MRKCContext::context(), ttl));
}

Ref<MRKCReply> MRKCReply::replyWithLabel(std::string_view label, MRKCStatement* statement, MRKCContext* context,
                                         float ttl) {
  if (label.empty() || !statement || !context) return nullptr;
  return adoptRef(new MRKCReply(std::string(label), Ref<MRKCStatement>(statement), Ref<MRKCContext>(context), ttl));
}

MRKCFlash::MRKCFlash(Ref<MRKCFunc> functor)
    : MRKBMessage(functor->label()->value(), std::numeric_limits<float>::infinity()), functor_(std::move(functor)) {}

Ref<MRKCFlash> MRKCFlash::flashWithFunctor(MRKCFunc* functor) {
  if (!functor) return nullptr;
  return adoptRef(new MRKCFlash(Ref<MRKCFunc>(functor)));
}

MRKCScrap::MRKCScrap(std::vector<Ref<MRKCContext>> awaiting)
    : MRKBMessage("scrap", std::numeric_limits<float>::infinity()), awaiting_(std::move(awaiting)) {}

Ref<MRKCScrap> MRKCScrap::scrapWithContexts(std::vector<Ref<MRKCContext>> awaiting) {
  return adoptRef(new MRKCScrap(std::move(awaiting)));
}

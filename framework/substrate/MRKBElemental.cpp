#include "framework/substrate/MRKBElemental.h"

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKBBFSolver.h"
#include "framework/substrate/MRKCPrimitive.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "framework/substrate/ZRNBFUNRunner.h"

namespace {
std::string aliasOf(const MRKCManifesto& manifesto) {
  MRKCSymbol* alias = MRKFFrameFetchSymbol(manifesto.properties(), "alias");
  return alias ? alias->value() : std::string();
}
}  // namespace

MRKBElemental::MRKBElemental(const MRKCManifesto& manifesto)
    : MRKBProcessor(MRKFMakeGuid(), manifesto.label(), aliasOf(manifesto), Ref<MRKCFrame>(manifesto.properties())) {}

void MRKBBFSolver::onReceivedQuery(MRKCQuery* query, const std::string& source) {
  if (!query || answerPropertyQuery(query) || query->predicate()->isRecurse()) return;
  MRKCSubstrate* host = substrate();
  Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel(query->label(), query->predicate()->terms(), 0.0);
  Ref<MRKCReply> reply = MRKCReply::replyWithLabel(label().empty() ? query->label() : label(), statement.get(),
                                                   query->context(), MRKFComputeNextTTL(query->ttl(), query->stp()));
  if (host && reply) host->answers(reply.get(), guid());
}

bool ZRNBFUNRunner::start(MRKCList* funcs) {
  MRKCSubstrate* host = substrate();
  if (!funcs || !host) return false;
  bool allDone = true;
  for (const auto& member : funcs->terms()) {
    MRKCFunc* func = asFunc(member.get());
    if (!func) {
      allDone = false;
      continue;
    }
    Ref<MRKCPrimitive> primitive = host->primitives()->fetch<MRKCPrimitive>(func->label()->value());
    if (!primitive) {
      if (verbose()) LLKFLog("%s : unknown function %s", label().c_str(), func->label()->value().c_str());
      allDone = false;
      continue;
    }
    Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel(func->label()->value(), func->terms(), 1.0);
    Ref<MRKCList> answers = MRKCList::list();
    Ref<MRKCVariables> bindings = MRKCVariables::variables();
    if (primitive->function()(host, this, statement.get(), answers.get(), bindings.get()) != 0) allDone = false;
  }
  return allDone;
}

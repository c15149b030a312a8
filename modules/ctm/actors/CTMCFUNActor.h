#pragma once
// An actor built on the substrate's function runner: its events become function calls that
// the runner starts, init(), beat(tick), tick(n, quote(winners), quote(frame)) and
// link(n, quote([chunk])); every other query goes through the runtime's commands.
#include "framework/substrate/ZRNBFUNRunner.h"
#include "modules/ctm/actors/CTMTActorShell.h"

class CTMCFUNActor : public CTMTActorShell<ZRNBFUNRunner> {
public:
  // Made by the class registry through CTMFActorMake, which refuses an actor without record.
  CTMCFUNActor(std::string guid, std::string label, std::string alias, Ref<MRKCFrame> properties)
      : CTMTActorShell(std::move(guid), std::move(label), std::move(alias), std::move(properties), nullptr) {}

  void onAttached() override;
  void onReceivedQuery(MRKCQuery* query, const std::string& source) override;

private:
  // quote(term): how lists and frames reach the called functions unevaluated.
  Ref<MRKCFunc> quoted(MRKBTerm* term) const;
  Ref<MRKCList> eventArguments(MRKCList* rest) const;

  Ref<MRKCSymbol> quote_;
};

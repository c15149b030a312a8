#pragma once
// A probe processor for end-to-end tests: it says what it is told and reports what it receives.
//
// Properties:
//   "follow"  a label or a list of labels to follow (their squibs and queries reach it);
//   "publish" a list of [label, [terms...]]: squibs it publishes every round;
//   "ask"     a list of [label, [terms...]]: queries it asks every round (predicate label(terms));
//   "answer"  a term: every query it receives is answered with the statement [answer] on its own
//             label (without it, queries get the processor base's peek and poke answers);
//   "every"   milliseconds between rounds (default 50), the first one period after attaching;
//   "times"   number of rounds (default 1; 0 for no end);
//   "sleep"   seconds its squib hook sleeps before reporting (a plug-in busy for long; default 0);
//   "offload" seconds of a job it hands the offloader as it attaches (a background load that does
//             not end, such as a decoder stuck on a crafted file; default none).
//   "linger"  seconds its onAttached sleeps first (a plug-in slow to start, holding its load).
// Everything it receives is published again on "<label>.seen" as one statement:
//   [squib, <label>, [terms]]   [query, <label>, ?predicate]   [reply, <label>, [terms]]
//   [flash, <label>, functor]   [scrap, <number of contexts>]
// The module also registers the primitive "probe.hold", which runs until its caller is detached.
#include "framework/substrate/MRKBElemental.h"
#include "framework/substrate/MRKCList.h"

class ZRNCProbe : public MRKBElemental {
public:
  ZRNCProbe(std::string guid, std::string label, std::string alias, Ref<MRKCFrame> properties);

  void onAttached() override;
  void onDetached() override;
  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override;
  void onReceivedQuery(MRKCQuery* query, const std::string& source) override;
  void onReceivedReply(MRKCReply* reply, const std::string& source) override;
  void onReceivedFlash(MRKCFlash* flash, const std::string& source) override;
  void onReceivedScrap(MRKCScrap* scrap, const std::string& source) override;

private:
  void round();
  void report(const char* kind, MRKBTerm* second, MRKBTerm* third);
  // The [label, [terms]] entries of a property, checked.
  std::vector<std::pair<std::string, Ref<MRKCList>>> entries(const char* property) const;

  uint64_t rounds_ = 0;
};

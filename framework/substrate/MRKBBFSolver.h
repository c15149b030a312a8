#pragma once
// The solver base: queries that are not property peeks or pokes are answered "no" (value 0.0,
// the predicate's terms echoed), unless they are the processor's own recursions, which the
// subclass handles. Subclasses take the queries they know and hand the rest down here.
#include "framework/substrate/MRKBElemental.h"

class MRKBBFSolver : public MRKBElemental {
public:
  void onReceivedQuery(MRKCQuery* query, const std::string& source) override;

protected:
  using MRKBElemental::MRKBElemental;
};

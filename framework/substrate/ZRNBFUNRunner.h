#pragma once
// The function runner base: start runs a list of funcs, each by calling the substrate primitive
// named by its label with the func's terms as the calling statement.
#include "framework/substrate/MRKBElemental.h"
#include "framework/substrate/MRKCList.h"

class ZRNBFUNRunner : public MRKBElemental {
public:
  // True when every member was a func whose primitive returned 0. Unknown functions are skipped
  // (logged when verbose). Answers the primitives appended are dropped.
  bool start(MRKCList* funcs);

protected:
  using MRKBElemental::MRKBElemental;
};

#pragma once
// A primitive: a C function that processors call by name (the substrate's primitives table).
// It is given the substrate and the calling processor (the context of unification), the calling
// statement, the list to append answers to and the current bindings, and returns one of the
// statuses below.
#include "framework/core/LLKBObject.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCVariables.h"

class MRKCSubstrate;
class MRKBProcessor;

// What a primitive returns.
enum MRKTPrimitiveStatus : int {
  kMRKPrimitiveDone = 0,
  kMRKPrimitiveFailed = 2,
  kMRKPrimitiveBadCall = 12,
  kMRKPrimitiveNothingToDo = 20,
};

using MRKTPrimitiveFunction = int (*)(MRKCSubstrate* substrate, MRKBProcessor* processor, MRKCStatement* statement,
                                      MRKCList* answers, MRKCVariables* bindings);

class MRKCPrimitive : public LLKBObject {
public:
  // Null for a null function.
  [[nodiscard]] static Ref<MRKCPrimitive> primitiveWithFunction(MRKTPrimitiveFunction function) {
    return function ? adoptRef(new MRKCPrimitive(function)) : nullptr;
  }
  MRKTPrimitiveFunction function() const { return function_; }

private:
  explicit MRKCPrimitive(MRKTPrimitiveFunction body) : function_(body) {}
  MRKTPrimitiveFunction function_;
};

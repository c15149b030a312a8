#pragma once
// A flash: a func sent straight to the processors with the given labels (or, published, to the
// followers of the functor's label). Flashes do not expire.
#include "framework/substrate/MRKBMessage.h"
#include "framework/substrate/MRKCFunc.h"

class MRKCFlash : public MRKBMessage {
public:
  // Null for a null functor.
  [[nodiscard]] static Ref<MRKCFlash> flashWithFunctor(MRKCFunc* functor);
  MRKCFunc* functor() const { return functor_.get(); }

private:
  explicit MRKCFlash(Ref<MRKCFunc> functor);
  Ref<MRKCFunc> functor_;
};

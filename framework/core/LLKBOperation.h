#pragma once
// A piece of background work run once by a scheduler: onPrepare, onExecute, onDismiss in that
// order on one of the scheduler's threads. Subclasses do their work in onExecute.
#include "framework/core/LLKBObject.h"

class LLKBOperation : public LLKBObject {
public:
  virtual void onPrepare() {}
  virtual void onExecute() {}
  virtual void onDismiss() {}

protected:
  LLKBOperation() = default;
};

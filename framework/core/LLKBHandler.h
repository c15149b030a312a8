#pragma once
// A looper that works through a job in steps: once at start and after the posted messages of
// every turn it calls onRunning, again and again while that answers true (more to do), then
// waits for the next message. A folder reader, for one, reads a batch per step and answers false when done.
#include "framework/core/LLKBLooper.h"

class LLKBHandler : public LLKBLooper {
protected:
  LLKBHandler() = default;

  // One step of work; true when there is more to do.
  virtual bool onRunning() { return false; }

private:
  bool onIdle() final { return onRunning(); }
};

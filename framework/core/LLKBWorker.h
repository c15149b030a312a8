#pragma once
// A looper that wakes every timeout (setTimeout, ms) and calls onTimedOutAt with the time, in
// seconds of a monotonic clock.
#include "framework/core/LLKBLooper.h"

class LLKBWorker : public LLKBLooper {
public:
  // 0 stops the timeouts.
  void setTimeout(uint32_t timeoutMs) { setPeriod(timeoutMs); }
  uint32_t timeout() const { return period(); }

protected:
  LLKBWorker() = default;

  virtual void onTimedOutAt(double seconds) {}

private:
  void onPeriod() final;
};

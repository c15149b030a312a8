#pragma once
// A looper that beats: onBeated every beat (setBeat, ms; 10 by default) between onStarting
// and onStopping, on its own thread (start) or the caller's (startSync). Other threads reach
// it by flash (fire and forget), send (synchronous) and the looper's sched and post.
#include "framework/core/LLKBLooper.h"

class LLKBConductor : public LLKBLooper {
public:
  // Beats every beatMs milliseconds; 0 stops the beats.
  void setBeat(uint32_t beatMs) { setPeriod(beatMs); }
  uint32_t beat() const { return period(); }

  // onFlashed(code) on a later turn. False once stopping.
  bool flash(uint64_t code);
  // onMessaged(message) on the conductor's thread, returning after it ran. On that thread it
  // runs at once. True when the message was handled by onMessaged's run; false for null, when
  // the conductor does not run, or when it stops before the message's turn (never blocks on a
  // stopped conductor).
  bool send(Ref<LLKCMessage> message);

protected:
  LLKBConductor() { setBeat(10); }

  virtual void onBeated() {}
  virtual void onFlashed(uint64_t code) {}

private:
  void onPeriod() final { onBeated(); }
};

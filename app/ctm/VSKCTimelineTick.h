#pragma once
// What the timeline keeps of one tick statement [tick, winners, {"chunks", "links", ...}]: the
// tick number, the broadcast chunks (the winners), the submitted chunks (every chunk that
// competed) and the direct chunks (passed by link since the previous tick). Only well-formed
// chunks are kept (VSKFTimelineChunkIfWellFormed); the others are counted in dropped().
// Immutable once made; any thread.
#include <string>

#include "framework/substrate/MRKCStatement.h"

class VSKCTimelineTick : public LLKBObject {
public:
  // Null, with the reason in problem (when given), for a statement that is not a tick: not 3
  // terms, a tick that is not a number, winners that are not a list, no frame last, or a frame
  // without "chunks" and "links" as lists.
  [[nodiscard]] static Ref<VSKCTimelineTick> tickWithStatement(MRKCStatement* statement, std::string* problem);

  uint64_t tick() const { return tick_; }
  MRKCList* broadcast() const { return broadcast_.get(); }
  MRKCList* submitted() const { return submitted_.get(); }
  MRKCList* direct() const { return direct_.get(); }
  // True when the tick carries no chunk at all.
  bool isEmpty() const { return broadcast_->count() == 0 && submitted_->count() == 0 && direct_->count() == 0; }
  // Chunks left out because they were malformed.
  size_t dropped() const { return dropped_; }

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCTimelineTick() = default;

  uint64_t tick_ = 0;
  Ref<MRKCList> broadcast_, submitted_, direct_;
  size_t dropped_ = 0;
};

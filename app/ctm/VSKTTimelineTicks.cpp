#include "app/ctm/VSKTTimelineTicks.h"

#include <cinttypes>
#include <cstdio>

void VSKTTimelineTicks::show(Ref<VSKCTimelineTick> tick) {
  shown_ = std::move(tick);
  shownLeft_ = false;
  ++changes_;
}

void VSKTTimelineTicks::showCursor() {
  if (cursor_ < ticks_.size()) show(ticks_[cursor_]);
}

void VSKTTimelineTicks::receive(Ref<VSKCTimelineTick> tick) {
  if (!tick) return;
  if (ticks_.size() >= kVSKTimelineCapacity) {
    shownLeft_ = shownLeft_ || (!live_ && cursor_ == 0 && shown_ == ticks_.front());
    ticks_.pop_front();
    if (cursor_ > 0) --cursor_;
  }
  bool kept = !tick->isEmpty();
  if (kept) ticks_.push_back(tick);
  if (live_) {
    show(tick);
    if (kept) cursor_ = ticks_.size() - 1;
  }
  char text[96];
  std::snprintf(text, sizeof text, "%" PRIu64 " - %s (%zu ticks)", shown_ ? shown_->tick() : 0,
                live_ ? "in-sync" : "out-of-sync", ticks_.size());
  status_ = text;
}

void VSKTTimelineTicks::syncStatus() { status_ = live_ ? "in-sync" : "out-of-sync"; }

void VSKTTimelineTicks::clear() {
  cursor_ = 0;
  ticks_.clear();
  show(nullptr);
  syncStatus();
}

void VSKTTimelineTicks::toggleLive() {
  live_ = !live_;
  syncStatus();
  if (!live_ && (!shown_ || shown_->isEmpty()) && !ticks_.empty()) {
    cursor_ = ticks_.size() - 1;
    showCursor();
  }
}

void VSKTTimelineTicks::previous() {
  if (live_ || cursor_ == 0) return;
  --cursor_;
  showCursor();
}

void VSKTTimelineTicks::next() {
  if (live_ || ticks_.empty()) return;
  if (shownLeft_) return showCursor();  // the oldest kept tick comes right after the one on show
  if (cursor_ + 1 >= ticks_.size()) {
    cursor_ = ticks_.size() - 1;
    return;
  }
  ++cursor_;
  showCursor();
}

void VSKTTimelineTicks::first() {
  if (live_) return;
  cursor_ = 0;
  showCursor();
}

void VSKTTimelineTicks::last() {
  if (live_ || ticks_.empty()) return;
  cursor_ = ticks_.size() - 1;
  showCursor();
}

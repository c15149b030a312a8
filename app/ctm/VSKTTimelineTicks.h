#pragma once
// The timeline's memory of ticks: the last kVSKTimelineCapacity ticks that carried any chunk,
// oldest first, the tick on show, live or paused mode, the cursor of the paused mode and the
// status line. Live, every arriving tick is shown; paused, ticks are still kept and the user
// steps through them. Kept apart from the view so that its rules can be tested without a window.
// Window's thread only.
#include <deque>
#include <string>

#include "app/ctm/VSKCTimelineTick.h"

constexpr size_t kVSKTimelineCapacity = 1024;

class VSKTTimelineTicks {
public:
  // Keeps the tick (unless it carries no chunk) and, live, shows it. While the memory is full
  // the oldest tick leaves first, kept or not; the cursor stays on the tick it points at. A
  // paused tick on show that leaves stays on show, and the next step shows the oldest kept one.
  void receive(Ref<VSKCTimelineTick> tick);
  // Forgets every tick and shows none.
  void clear();
  // Live to paused (showing the last kept tick when the one on show has no chunk) or back.
  void toggleLive();
  // Paused only; stepping past either end changes nothing.
  void previous();
  void next();
  void first();
  void last();

  bool live() const { return live_; }
  size_t count() const { return ticks_.size(); }
  size_t cursor() const { return cursor_; }
  const Ref<VSKCTimelineTick>& at(size_t index) const { return ticks_.at(index); }
  // The tick on show, or null.
  const Ref<VSKCTimelineTick>& shown() const { return shown_; }
  // "<tick> - in-sync (<n> ticks)", "<tick> - out-of-sync (<n> ticks)", "in-sync" or
  // "out-of-sync"; stepping leaves it as it was.
  const std::string& status() const { return status_; }
  // Bumped whenever the shown tick changes, so the view knows when to redraw.
  uint64_t changes() const { return changes_; }

private:
  void show(Ref<VSKCTimelineTick> tick);
  void showCursor();
  void syncStatus();

  std::deque<Ref<VSKCTimelineTick>> ticks_;
  Ref<VSKCTimelineTick> shown_;
  size_t cursor_ = 0;
  bool shownLeft_ = false;  // the tick on show is older than every kept one
  bool live_ = true;
  std::string status_ = "in-sync";
  uint64_t changes_ = 0;
};

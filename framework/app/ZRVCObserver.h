#pragma once
// A processor that hands what it hears to a widget: every squib on a followed label, and every
// query or reply it receives, reaches the target's onMessaged on the target's window thread as
// a copy of the matching message (setOnSquib, setOnQuery, setOnReply) with the squib, query or
// reply as payload.
//
// Deliveries wait in the observer's own backlog, in order, and one task at a time on the window's
// queue hands them over: however fast the substrate hears, the window holds at most one task of
// each observer. A window that falls behind gets the newest deliveries: past the backlog's
// limit the oldest waiting one is let go, and the first time that happens the log says so.
//
// Threads: setTarget and the three messages are changed under the observer's monitor, on the
// target's window thread (the target's window is taken there). The substrate calls the hooks on
// its own threads. A delivery keeps the target alive until it has run, and runs only when the
// target is still the observer's target on arrival: after setTarget(nullptr) nothing more
// reaches the old target. The owner clears the target before it detaches the observer.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "framework/core/LLKCMessage.h"
#include "framework/substrate/MRKBProcessor.h"
#include "ui/widgets/QELBWidget.h"

// The default backlog: room for the replies of a burst of queries and for a few frames of a
// stream. A view of ticks asks for less (kZRVObserverTickBacklog): it wants the newest tick, not
// a queue of stale ones.
constexpr size_t kZRVObserverBacklog = 64;
constexpr size_t kZRVObserverTickBacklog = 2;

// The messages an observer hands its target; a null one is not handed over.
struct ZRVTObserverHooks {
  Ref<LLKCMessage> onSquib = nullptr, onQuery = nullptr, onReply = nullptr;
};

class ZRVCObserver : public MRKBProcessor {
public:
  // An empty guid gets a fresh one. Never null.
  [[nodiscard]] static Ref<ZRVCObserver> observerWithGuid(std::string guid, std::string label, std::string alias,
                                                          Ref<MRKCFrame> properties);

  Ref<QELBWidget> target() const;
  void setTarget(QELBWidget* target);
  // What an owner does when it enters its window: sets the target and the hooks' messages under
  // the monitor, attaches the observer to the shared substrate and follows the labels. False,
  // and the log says so, when the substrate takes no observer.
  bool follow(QELBWidget* target, const ZRVTObserverHooks& hooks, const std::vector<std::string>& labels);
  // What an owner does when it leaves its window: clears the target under the monitor, so that
  // nothing more reaches it, then detaches the observer from the substrate.
  void letGo();
  void setOnSquib(Ref<LLKCMessage> message);
  void setOnQuery(Ref<LLKCMessage> message);
  void setOnReply(Ref<LLKCMessage> message);
  // The most deliveries that wait for the window (at least 1; kZRVObserverBacklog unless set).
  void setBacklog(size_t limit);
  // Deliveries waiting for the window, and those let go (dropped) since the target was set.
  size_t waiting() const;
  uint64_t dropped() const;

  // Follows the label: at once when attached, else once attached (queued among the hooks).
  // Following a label twice follows it once.
  void appendLabel(std::string label);

  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override;
  void onReceivedQuery(MRKCQuery* query, const std::string& source) override;
  void onReceivedReply(MRKCReply* reply, const std::string& source) override;

protected:
  using MRKBProcessor::MRKBProcessor;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);

  // Queues a copy of the message (read under the monitor) with the payload for the target.
  void deliver(Ref<LLKCMessage> ZRVCObserver::*message, Ref<LLKBObject> payload);
  // The task that hands the backlog of this target (its generation) over on the window's thread.
  void scheduleDrain(QELBWindow* window, uint64_t generation);
  void drain(uint64_t generation);

  Ref<QELBWidget> target_;
  QELBWindow* window_ = nullptr;  // the target's window when it was set
  Ref<LLKCMessage> onSquib_, onQuery_, onReply_;
  std::deque<Ref<LLKCMessage>> backlog_;
  size_t backlogLimit_ = kZRVObserverBacklog;
  bool draining_ = false;    // a drain task is on the window's queue or running
  uint64_t generation_ = 0;  // bumped by setTarget: older drain tasks do nothing
  uint64_t letGo_ = 0;
  bool toldBehind_ = false;
};

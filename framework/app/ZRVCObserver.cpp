#include "framework/app/ZRVCObserver.h"

#include "framework/core/LLKFLog.h"

#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "ui/widgets/QELBWindow.h"

Ref<ZRVCObserver> ZRVCObserver::observerWithGuid(std::string guid, std::string label, std::string alias,
                                                 Ref<MRKCFrame> properties) {
  return makeRef<ZRVCObserver>(std::move(guid), std::move(label), std::move(alias), std::move(properties));
}

Ref<QELBWidget> ZRVCObserver::target() const {
  std::lock_guard lock(monitor());
  return target_;
}

void ZRVCObserver::setTarget(QELBWidget* target) {
  std::deque<Ref<LLKCMessage>> dropped;  // let go outside the monitor
  std::lock_guard lock(monitor());
  target_ = Ref<QELBWidget>(target);
  window_ = target ? target->window() : nullptr;
  ++generation_;
  dropped.swap(backlog_);
  draining_ = false;
  letGo_ = 0;
  toldBehind_ = false;
}

void ZRVCObserver::setBacklog(size_t limit) {
  std::lock_guard lock(monitor());
  backlogLimit_ = limit > 0 ? limit : 1;
}

size_t ZRVCObserver::waiting() const {
  std::lock_guard lock(monitor());
  return backlog_.size();
}

uint64_t ZRVCObserver::dropped() const {
  std::lock_guard lock(monitor());
  return letGo_;
}

bool ZRVCObserver::follow(QELBWidget* target, const ZRVTObserverHooks& hooks, const std::vector<std::string>& labels) {
  {
    std::lock_guard lock(monitor());
    setTarget(target);
    onSquib_ = hooks.onSquib;
    onQuery_ = hooks.onQuery;
    onReply_ = hooks.onReply;
  }
  MRKCSubstrate* substrate = MRKCSubstrate::shared();
  if (!substrate || !substrate->attach(this, false)) {
    std::string names;
    for (const std::string& label : labels) names += (names.empty() ? "" : ", ") + label;
    LLKFLog("%s : cannot follow %s", alias().c_str(), names.c_str());
    return false;
  }
  for (const std::string& label : labels) appendLabel(label);
  return true;
}

void ZRVCObserver::letGo() {
  {
    std::lock_guard lock(monitor());
    setTarget(nullptr);
  }
  if (MRKCSubstrate* substrate = MRKCSubstrate::shared()) (void)substrate->detach(this, true);
}

void ZRVCObserver::setOnSquib(Ref<LLKCMessage> message) {
  std::lock_guard lock(monitor());
  onSquib_ = std::move(message);
}

void ZRVCObserver::setOnQuery(Ref<LLKCMessage> message) {
  std::lock_guard lock(monitor());
  onQuery_ = std::move(message);
}

void ZRVCObserver::setOnReply(Ref<LLKCMessage> message) {
  std::lock_guard lock(monitor());
  onReply_ = std::move(message);
}

void ZRVCObserver::appendLabel(std::string label) {
  // Attached: followed at once, so what is published after this call reaches the observer.
  MRKCSubstrate* attachedTo = isAttached() ? substrate() : nullptr;
  if (attachedTo && attachedTo->disclose(label, guid())) return;
  Ref<ZRVCObserver> self(this);
  schedule([self, label = std::move(label)] {
    MRKCSubstrate* substrate = self->substrate();
    if (!substrate || !substrate->disclose(label, self->guid()))
      LLKFLog("%s : cannot follow %s", self->alias().c_str(), label.c_str());
  });
}

void ZRVCObserver::deliver(Ref<LLKCMessage> ZRVCObserver::*message, Ref<LLKBObject> payload) {
  Ref<LLKCMessage> stale;  // let go outside the monitor
  QELBWindow* window = nullptr;
  uint64_t generation = 0;
  bool tell = false, schedule = false;
  {
    std::lock_guard lock(monitor());
    if (!target_ || !window_ || !(this->*message)) return;
    Ref<LLKCMessage> copy = (this->*message)->copy();
    if (!copy) return;
    copy->setPayload(std::move(payload));
    if (backlog_.size() >= backlogLimit_) {
      stale = std::move(backlog_.front());
      backlog_.pop_front();
      ++letGo_;
      tell = !toldBehind_;
      toldBehind_ = true;
    }
    backlog_.push_back(std::move(copy));
    schedule = !draining_;
    draining_ = true;
    window = window_;
    generation = generation_;
  }
  if (tell)
    LLKFLog("%s : its window falls behind; the oldest waiting deliveries are let go and the newest kept",
            alias().c_str());
  if (schedule) scheduleDrain(window, generation);
}

void ZRVCObserver::scheduleDrain(QELBWindow* window, uint64_t generation) {
  Ref<ZRVCObserver> self(this);
  if (window->sched([self, generation] { self->drain(generation); })) return;
  // The window takes no more work: nothing waiting can reach it.
  std::deque<Ref<LLKCMessage>> dropped;
  std::lock_guard lock(monitor());
  if (generation != generation_) return;
  dropped.swap(backlog_);
  draining_ = false;
}

void ZRVCObserver::drain(uint64_t generation) {
  std::deque<Ref<LLKCMessage>> batch;
  Ref<QELBWidget> target;
  {
    std::lock_guard lock(monitor());
    if (generation != generation_) return;
    batch.swap(backlog_);
    target = target_;
  }
  // A handler may clear the target (its view leaving the window): what is left then goes.
  for (const Ref<LLKCMessage>& message : batch)
    if (target && this->target() == target) target->onMessaged(message);
  QELBWindow* window = nullptr;
  {
    std::lock_guard lock(monitor());
    if (generation != generation_) return;
    draining_ = !backlog_.empty();
    if (draining_) window = window_;
  }
  // What came meanwhile goes on a later turn, after the window's frame.
  if (window) scheduleDrain(window, generation);
}

void ZRVCObserver::onReceivedSquib(MRKCSquib* squib, const std::string&) {
  deliver(&ZRVCObserver::onSquib_, Ref<LLKBObject>(squib));
}

void ZRVCObserver::onReceivedQuery(MRKCQuery* query, const std::string&) {
  deliver(&ZRVCObserver::onQuery_, Ref<LLKBObject>(query));
}

void ZRVCObserver::onReceivedReply(MRKCReply* reply, const std::string&) {
  deliver(&ZRVCObserver::onReply_, Ref<LLKBObject>(reply));
}

#include "framework/app/ZRVCObserver.h"

#include "framework/core/LLKFLog.h"

#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "ui/widgets/QELBWindow.h"

namespace {

constexpr uint32_t kFollowFlags = 4;

}  // namespace

Ref<ZRVCObserver> ZRVCObserver::observerWithGuid(std::string guid, std::string label, std::string alias,
                                                 Ref<MRKCFrame> properties) {
  return makeRef<ZRVCObserver>(std::move(guid), std::move(label), std::move(alias), std::move(properties));
}

Ref<QELBWidget> ZRVCObserver::target() const {
  std::lock_guard lock(monitor());
  return target_;
}

void ZRVCObserver::setTarget(QELBWidget* target) {
  std::lock_guard lock(monitor());
  target_ = Ref<QELBWidget>(target);
  window_ = target ? target->window() : nullptr;
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
  if (attachedTo && attachedTo->disclose(label, guid(), kFollowFlags)) return;
  Ref<ZRVCObserver> self(this);
  schedule([self, label = std::move(label)] {
    MRKCSubstrate* substrate = self->substrate();
    if (!substrate || !substrate->disclose(label, self->guid(), kFollowFlags))
      LLKFLog("%s : cannot follow %s", self->alias().c_str(), label.c_str());
  });
}

void ZRVCObserver::deliver(Ref<LLKCMessage> ZRVCObserver::*message, Ref<LLKBObject> payload) {
  Ref<QELBWidget> target;
  Ref<LLKCMessage> copy;
  QELBWindow* window = nullptr;
  {
    std::lock_guard lock(monitor());
    if (!target_ || !window_ || !(this->*message)) return;
    copy = (this->*message)->copy();
    target = target_;
    window = window_;
  }
  if (!copy) return;
  copy->setPayload(std::move(payload));
  Ref<ZRVCObserver> self(this);
  (void)window->sched([self, target, copy] {
    if (self->target() == target) target->onMessaged(copy);
  });
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

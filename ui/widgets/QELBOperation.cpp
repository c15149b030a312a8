#include "ui/widgets/QELBOperation.h"

Ref<QELBWidget> QELBOperation::target() const {
  std::lock_guard lock(mutex_);
  return target_;
}

void QELBOperation::setTarget(Ref<QELBWidget> target) {
  std::lock_guard lock(mutex_);
  target_.swap(target);
}

Ref<LLKCMessage> QELBOperation::onProgress() const {
  std::lock_guard lock(mutex_);
  return onProgress_;
}

void QELBOperation::setOnProgress(Ref<LLKCMessage> message) {
  std::lock_guard lock(mutex_);
  onProgress_.swap(message);
}

Ref<LLKCMessage> QELBOperation::onComplete() const {
  std::lock_guard lock(mutex_);
  return onComplete_;
}

void QELBOperation::setOnComplete(Ref<LLKCMessage> message) {
  std::lock_guard lock(mutex_);
  onComplete_.swap(message);
}

bool QELBOperation::notify(const Ref<LLKCMessage>& message) const {
  if (!message) return false;
  Ref<QELBWidget> widget = target();
  return widget && widget->poke(message);
}

#include "framework/app/ZRVCOperationContext.h"

#include "framework/core/LLKCString.h"

ZRVCOperationContext::~ZRVCOperationContext() {
  if (!completed_.load()) (void)complete(false, "the operation was dropped before it ran");
}

void ZRVCOperationContext::setTarget(QELBWindow* target) {
  std::lock_guard lock(mutex_);
  target_ = Ref<QELBWindow>(target);
}

void ZRVCOperationContext::setOnProgress(Ref<LLKCMessage> message) {
  std::lock_guard lock(mutex_);
  onProgress_ = std::move(message);
}

void ZRVCOperationContext::setOnComplete(Ref<LLKCMessage> message) {
  std::lock_guard lock(mutex_);
  onComplete_ = std::move(message);
}

bool ZRVCOperationContext::progress(const std::string& text) {
  std::lock_guard lock(mutex_);
  Ref<LLKCMessage> copy = target_ && onProgress_ ? onProgress_->copy() : nullptr;
  if (!copy) return false;
  (void)copy->details().storeObject(LLKCString::stringWithString(text), "string");
  return target_->post(copy);
}

bool ZRVCOperationContext::complete(bool success, const std::string& error,
                                    std::initializer_list<std::pair<const char*, bool>> flags) {
  if (completed_.exchange(true)) return false;
  std::lock_guard lock(mutex_);
  Ref<LLKCMessage> copy = target_ && onComplete_ ? onComplete_->copy() : nullptr;
  if (!copy) return false;
  (void)copy->details().storeBool(success, "success");
  if (!success) (void)copy->details().storeObject(LLKCString::stringWithString(error), "error");
  for (const auto& [name, flag] : flags) (void)copy->details().storeBool(flag, name);
  return target_->post(copy);
}

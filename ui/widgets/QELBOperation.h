#pragma once
// A background job that reports to a widget: it runs on the application's scheduler and hands
// its progress and completion messages to the target widget's onMessaged on the window's
// thread (notify). Subclasses do their work in onExecute.
#include <mutex>

#include "framework/core/LLKBOperation.h"
#include "framework/core/LLKCMessage.h"
#include "ui/widgets/QELBWidget.h"

class QELBOperation : public LLKBOperation {
public:
  // Properties, read and set from any thread.
  Ref<QELBWidget> target() const;
  void setTarget(Ref<QELBWidget> target);
  Ref<LLKCMessage> onProgress() const;
  void setOnProgress(Ref<LLKCMessage> message);
  Ref<LLKCMessage> onComplete() const;
  void setOnComplete(Ref<LLKCMessage> message);

  // Pokes the target with the message; nothing for a null message or without a target.
  bool notify(const Ref<LLKCMessage>& message) const;

protected:
  QELBOperation() = default;

private:
  mutable std::mutex mutex_;
  Ref<QELBWidget> target_;
  Ref<LLKCMessage> onProgress_;
  Ref<LLKCMessage> onComplete_;
};

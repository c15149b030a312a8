#pragma once
// Where a framework operation reports: progress and completion messages posted to a target
// window's onMessaged. Progress messages carry their text as an LLKCString under "string" in
// the details. The completion is sent exactly once: when the operation ends, or, for an
// operation dropped before it ran, when the context is released. It carries the bool
// "success" in its details and, after a failure, the reason as an LLKCString under "error".
//
// Properties are set on one thread before the operation is submitted; progress and complete
// may then be called from the operation's thread. The context keeps its target alive.
#include <atomic>
#include <initializer_list>
#include <mutex>
#include <string>
#include <utility>

#include "framework/core/LLKCMessage.h"
#include "ui/widgets/QELBWindow.h"

class ZRVCOperationContext : public LLKBObject {
public:
  [[nodiscard]] static Ref<ZRVCOperationContext> context() { return makeRef<ZRVCOperationContext>(); }
  ~ZRVCOperationContext() override;

  void setTarget(QELBWindow* target);
  void setOnProgress(Ref<LLKCMessage> message);
  void setOnComplete(Ref<LLKCMessage> message);

  // A copy of the progress message with the text; false when nothing was posted.
  bool progress(const std::string& text);
  // The completion, the first time only, with the operation's own named flags added to its
  // details; false when nothing was posted.
  bool complete(bool success, const std::string& error = {},
                std::initializer_list<std::pair<const char*, bool>> flags = {});
  bool completed() const { return completed_.load(); }

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  ZRVCOperationContext() = default;

  mutable std::mutex mutex_;
  Ref<QELBWindow> target_;
  Ref<LLKCMessage> onProgress_, onComplete_;
  std::atomic<bool> completed_{false};
};

#pragma once
// A processor that hands what it hears to a widget: every squib on a followed label, and every
// query or reply it receives, reaches the target's onMessaged on the target's window thread as
// a copy of the matching message (setOnSquib, setOnQuery, setOnReply) with the squib, query or
// reply as payload.
//
// Threads: setTarget and the three messages are changed under the observer's monitor, on the
// target's window thread (the target's window is taken there). The substrate calls the hooks on
// its own threads. A delivery keeps the target alive until it has run, and runs only when the
// target is still the observer's target on arrival: after setTarget(nullptr) nothing more
// reaches the old target. The owner clears the target before it detaches the observer.
#include <string>

#include "framework/core/LLKCMessage.h"
#include "framework/substrate/MRKBProcessor.h"
#include "ui/widgets/QELBWidget.h"

class ZRVCObserver : public MRKBProcessor {
public:
  // An empty guid gets a fresh one.
  [[nodiscard]] static Ref<ZRVCObserver> observerWithGuid(std::string guid, std::string label, std::string alias,
                                                          Ref<MRKCFrame> properties);

  Ref<QELBWidget> target() const;
  void setTarget(QELBWidget* target);
  // What an owner does when it leaves its window: clears the target under the monitor, so that
  // nothing more reaches it, then detaches the observer from the substrate.
  void letGo();
  void setOnSquib(Ref<LLKCMessage> message);
  void setOnQuery(Ref<LLKCMessage> message);
  void setOnReply(Ref<LLKCMessage> message);

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

  // Sends a copy of the message (read under the monitor) with the payload to the target.
  void deliver(Ref<LLKCMessage> ZRVCObserver::*message, Ref<LLKBObject> payload);

  Ref<QELBWidget> target_;
  QELBWindow* window_ = nullptr;  // the target's window when it was set
  Ref<LLKCMessage> onSquib_, onQuery_, onReply_;
};

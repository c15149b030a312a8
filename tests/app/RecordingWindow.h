#pragma once
// A headless widget window that keeps every message reaching its onMessaged, and a widget that
// keeps what reaches it, for the application-layer tests.
#include <vector>

#include "framework/core/LLKCMessage.h"
#include "tests/widgets/QELTestHeadlessWindow.h"

class RecordingWindow : public QELTestHeadlessWindow {
public:
  static Ref<RecordingWindow> make() { return open(makeRef<RecordingWindow>(), {400, 300}); }
  bool onMessaged(const Ref<LLKCMessage>& message) override {
    messages.push_back(message);
    return true;
  }
  std::vector<Ref<LLKCMessage>> messages;
};

class RecordingWidget : public QELBWidget {
public:
  static Ref<RecordingWidget> make() { return makeRef<RecordingWidget>(); }
  void onMessaged(const Ref<LLKCMessage>& message) override { messages.push_back(message); }
  std::vector<Ref<LLKCMessage>> messages;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  RecordingWidget() : QELBWidget({10, 10}, {0, 0}) {}
};

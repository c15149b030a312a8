#pragma once
// The "Conversation" view: the user's side of the ux protocol. The feed of bubbles fills the
// view above a column with the input text box (text or term input) and a row of symbols (input
// mode, distract, pause) with the Thinking ticker; hover hints name the symbols, scroll bars,
// wheel and keys scroll the feed, and the title bar's menu rolls the view up or closes it.
//
// Threads: everything runs on the window's thread but the observer, which the substrate calls
// on its threads and which hands every query and squib on "ux" to the view as a message; the
// view sets and clears the observer's target only under the observer's monitor, so nothing
// reaches a view that left its window.
//
// Its state is its private record: only its own member functions hand it to the feed, bubble
// and protocol functions. Tests and benchmarks read it through record(), and change it only
// with those same functions through a probe of their own (VSKTestConversationFeed).
#include <string>

#include "app/ctm/VSKTConversationRecord.h"
#include "framework/app/ZRVBView.h"

class VSKCConversationView : public ZRVBView {
public:
  // Size and position come from the settings' "size" and "position" (defaults as given); null
  // when a part cannot be made.
  [[nodiscard]] static Ref<VSKCConversationView> viewWithSize(OGLTSize size, OGLTPoint position,
                                                              const std::string& alias, Ref<JSKCFrame> config);
  ~VSKCConversationView() override;

  // The state the feed and protocol functions share, read-only (tests and benchmarks).
  const VSKTConversationRecord& record() const { return record_; }

  void onAttachedIntoWindow() override;
  void onLeavingWindow() override;
  void onResized() override;
  bool onInputWithScroll(const OGLTScrollEvent& scroll) override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  void onToggleMenu() override;
  void onUpdateWithStep(float step) override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  friend struct VSKTestConversationFeed;
  VSKCConversationView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);

  bool build(const std::string& alias);
  bool buildSymbols();
  void onMenu(uint32_t tag);
  void onControl(const LLKCMessage& message);
  void onHover(const LLKCMessage& message);
  void onBubble(const LLKCMessage& message);
  void setMode(uint32_t mode, QELBWidget* sender);
  void setPaused(bool paused, QELBWidget* sender);
  void dropHint();
  // Moves the vertical bar (clamped) and scrolls to it.
  void moveBar(float scroll);

  VSKTConversationRecord record_;
};

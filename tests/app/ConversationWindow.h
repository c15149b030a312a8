#pragma once
// A headless window showing a conversation view of 640 x 600 at its top left, for the
// conversation tests and benchmarks. Window's thread: the caller's.
#include <string>
#include <utility>

#include "app/ctm/VSKCConversationView.h"
#include "tests/widgets/QELTestHeadlessWindow.h"

// How tests and benchmarks drive a conversation view's feed, bubbles and protocol: through the
// view's own members, which this probe may call (each under the member's name).
struct VSKTestConversationFeed {
  VSKCConversationView& view;

  Ref<VSKCConversationEntry> VSKFConversationAppendBubble(OGLTSize size, Ref<MRKBTerm> term, LLKTMessageCode code,
                                                          uint32_t ctx, bool* visible) {
    return view.VSKFConversationAppendBubble(size, std::move(term), code, ctx, visible);
  }
  bool VSKFConversationAppendMessage(LLKTMessageCode code, uint32_t ctx, const std::string& text,
                                     Ref<MRKCSymbol> refUid) {
    return view.VSKFConversationAppendMessage(code, ctx, text, std::move(refUid));
  }
  bool VSKFConversationAppendPickOne(LLKTMessageCode code, uint32_t ctx, const std::string& text, Ref<MRKCList> options,
                                     Ref<MRKCSymbol> refUid) {
    return view.VSKFConversationAppendPickOne(code, ctx, text, std::move(options), std::move(refUid));
  }
  void VSKFConversationFeedRemove(VSKCConversationEntry* entry) { view.VSKFConversationFeedRemove(entry); }
  void VSKFConversationFeedResize(VSKCConversationEntry* entry, float height) {
    view.VSKFConversationFeedResize(entry, height);
  }
  void VSKFConversationFeedSyncUp() { view.VSKFConversationFeedSyncUp(); }
  void VSKFConversationFeedClear() { view.VSKFConversationFeedClear(); }
  bool VSKFConversationFeedIsVisible(const VSKCConversationEntry& entry) const {
    return view.VSKFConversationFeedIsVisible(entry);
  }
  VSKCConversationEntry* VSKFConversationFeedFind(const QELBWidget* widget, int32_t* index) const {
    return view.VSKFConversationFeedFind(widget, index);
  }
  VSKCConversationEntry* VSKFConversationFeedFindLast(LLKTMessageCode code, uint32_t ctx, int32_t* index) const {
    return view.VSKFConversationFeedFindLast(code, ctx, index);
  }
  void VSKFConversationOnQuery(MRKCQuery* query) { view.VSKFConversationOnQuery(query); }
  void VSKFConversationOnChoice(VSKCConversationEntry& entry, QELBWidget* options, MRKBTerm* option, int32_t index) {
    view.VSKFConversationOnChoice(entry, options, option, index);
  }
};

struct ConversationWindow {
  Ref<QELTestHeadlessWindow> window;
  Ref<VSKCConversationView> view;

  // Makes both and shows the view for one frame; false when either cannot be made or attached.
  bool open() {
    window = QELTestHeadlessWindow::make({700, 640});
    view = VSKCConversationView::viewWithSize({640, 600}, {0, 0}, "ui.conversation", nullptr);
    if (!window || !view) return false;
    view->setVisible(true);
    if (!window->attach(Ref<QELBWidget>(view))) return false;
    window->frame();
    return true;
  }
  // Closes the window; the view's observer leaves the substrate on its own thread, so wait until
  // it has let go, or its leaving may still be queued when the process ends.
  void close() {
    if (!window) return;
    Ref<ZRVCObserver> observer = view ? view->record().observer : nullptr;
    window->close();
    view = nullptr;
    if (observer) (void)window->pumpUntil([&] { return observer->retainCount() == 1; });
  }
  const VSKTConversationRecord& record() const { return view->record(); }
  // The view's feed, bubbles and protocol, to drive them.
  VSKTestConversationFeed feed() { return {*view}; }
};

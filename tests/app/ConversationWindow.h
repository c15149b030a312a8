#pragma once
// A headless window showing a conversation view of 640 x 600 at its top left, for the
// conversation tests and benchmarks. Window's thread: the caller's.
#include "app/ctm/VSKCConversationView.h"
#include "tests/widgets/QELTestHeadlessWindow.h"

// How tests and benchmarks change a conversation view's feed: they hand its record to the feed's
// own functions, as the view's member functions do.
struct VSKTestConversationFeed {
  static VSKTConversationRecord& of(VSKCConversationView& view) { return view.record_; }
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
  // The view's record for the feed's functions to change.
  VSKTConversationRecord& mutableRecord() { return VSKTestConversationFeed::of(*view); }
};

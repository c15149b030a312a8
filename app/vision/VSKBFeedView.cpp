#include "app/vision/VSKBFeedView.h"

#include "app/vision/VSKFVisionView.h"

VSKBFeedView::VSKBFeedView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config)
    : ZRVBView(size, position, "feed",
               kQELViewTitleBar | kQELViewStatusBar | kQELViewCloseButton | kQELViewDraggable | kQELViewLongPress |
                   kQELViewMenuButton,
               std::move(config)) {}

void VSKBFeedView::follow(uint64_t onSquib, uint64_t onReply, const std::vector<std::string>& labels) {
  VSKTFeedState& state = feedState();
  const ZRVTObserverHooks hooks{.onSquib = LLKCMessage::messageWithCode(onSquib),
                                .onReply = onReply ? LLKCMessage::messageWithCode(onReply) : nullptr};
  if (!state.observer->follow(this, hooks, labels))
    setStatus("cannot follow " + state.feed);
}

void VSKBFeedView::onLeavingWindow() { feedState().observer->letGo(); }

bool VSKBFeedView::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (key.key != kOGLKeySpace || key.action != kOGLActionRelease) return false;
  feedState().live = !feedState().live;
  return true;
}

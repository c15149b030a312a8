#include "app/vision/VSKBFeedView.h"

VSKBFeedView::VSKBFeedView(OGLTSize size, OGLTPoint position, std::string feed, Ref<ZRVCObserver> observer,
                           Ref<JSKCFrame> config)
    : ZRVBView(size, position, "feed",
               kQELViewTitleBar | kQELViewStatusBar | kQELViewCloseButton | kQELViewDraggable | kQELViewLongPress |
                   kQELViewMenuButton,
               std::move(config)),
      feed_(std::move(feed)),
      observer_(std::move(observer)) {}

void VSKBFeedView::follow(LLKTMessageCode onSquib, std::optional<LLKTMessageCode> onReply,
                          const std::vector<std::string>& labels) {
  const ZRVTObserverHooks hooks{.onSquib = LLKCMessage::messageWithCode(onSquib),
                                .onReply = onReply ? LLKCMessage::messageWithCode(*onReply) : nullptr};
  if (!observer_->follow(this, hooks, labels)) setStatus("cannot follow " + feed_);
}

void VSKBFeedView::onLeavingWindow() { observer_->letGo(); }

bool VSKBFeedView::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (key.key != kOGLKeySpace || key.action != kOGLActionRelease) return false;
  live_ = !live_;
  return true;
}

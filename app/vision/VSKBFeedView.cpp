#include "app/vision/VSKBFeedView.h"

#include "app/vision/VSKFVisionView.h"

namespace {
constexpr int32_t kKeySpace = 32;
}

VSKBFeedView::VSKBFeedView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config)
    : ZRVBView(size, position, "feed",
               kQELViewTitleBar | kQELViewStatusBar | kQELViewCloseButton | kQELViewDraggable | kQELViewLongPress |
                   kQELViewMenuButton,
               std::move(config)) {}

void VSKBFeedView::follow(uint64_t onSquib, uint64_t onReply, const std::vector<std::string>& labels) {
  VSKTFeedState& state = feedState();
  if (!VSKFVisionViewFollow(state.observer.get(), this, onSquib, onReply, labels))
    setStatus("cannot follow " + state.feed);
}

void VSKBFeedView::onDetachedFromWindow() {
  feedState().observer->letGo();
  ZRVBView::onDetachedFromWindow();
}

bool VSKBFeedView::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (key.key != kKeySpace || key.action != 1) return false;
  feedState().live = !feedState().live;
  return true;
}

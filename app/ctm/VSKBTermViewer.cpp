#include "app/ctm/VSKBTermViewer.h"

#include <algorithm>
#include <cmath>

#include "app/ctm/VSKFTextDrawing.h"
#include "framework/app/ZRVFViewMenu.h"

namespace {

constexpr float kZoomStep = 0.1f, kZoomEpsilon = 0.001f;

}  // namespace

VSKBTermViewer::VSKBTermViewer(OGLTSize size, OGLTPoint position, std::string title, Ref<JSKCFrame> config,
                               const VSKTTermViewerSetup& setup)
    : ZRVBView(size, position, std::move(title),
               kQELViewTitleBar | kQELViewCloseButton | kQELViewDraggable | kQELViewLongPress | kQELViewMenuButton |
                   kQELViewResizable,
               std::move(config)),
      setup_(setup) {}

bool VSKBTermViewer::build(std::string alias, std::vector<std::string> channels, Ref<VSKCExpressionSurface> surface,
                           Ref<QELBWidget> top) {
  channels_ = std::move(channels);
  surface_ = std::move(surface);
  observer_ = ZRVCObserver::observerWithGuid({}, {}, alias, nullptr);
  observer_->setBacklog(kZRVObserverTickBacklog);
  vertical_ = QELCScrollbar::widgetWithSize({0, 0}, {0, 0});
  horizontal_ = QELCScrollbar::widgetWithSize({0, 0}, {0, 0});
  if (!surface_) return false;
  surface_->setScale(1);
  vertical_->setFlags(kQELControlPlain);
  horizontal_->setFlags(kQELControlPlain);
  vertical_->setOnChange(LLKCMessage::messageWithCode({kVSKViewerControl, kVSKViewerVerticalBar, 0}));
  horizontal_->setOnChange(LLKCMessage::messageWithCode({kVSKViewerControl, kVSKViewerHorizontalBar, 0}));
  vertical_->setVisible(false);
  horizontal_->setVisible(false);
  if (top && !attach(top)) return false;
  if (!attach(surface_) || !attach(vertical_) || !attach(horizontal_)) return false;
  setAlias(std::move(alias));
  return true;
}

void VSKBTermViewer::onAttachedIntoWindow() {
  ZRVBView::onAttachedIntoWindow();
  (void)observer_->follow(this, {.onSquib = LLKCMessage::messageWithCode({kVSKViewerSquib, kVSKViewerSquibArrived, 0})},
                          channels_);
  onResized();
}

void VSKBTermViewer::onLeavingWindow() {
  ZRVFViewMenuLetGo(this);
  observer_->letGo();
}

void VSKBTermViewer::onResized() {
  const OGLTRect s = space();
  const float w = s.right - s.left, h = s.bottom - s.top, top = setup_.topBar;
  surface_->setSize({w, h - top});
  surface_->setPosition({0, top});
  vertical_->setSize({kVSKViewerScrollbarSide, h - top - kVSKViewerScrollbarSide});
  vertical_->setPosition({w - kVSKViewerScrollbarSide, top});
  horizontal_->setSize({w - kVSKViewerScrollbarSide, kVSKViewerScrollbarSide});
  horizontal_->setPosition({0, h - kVSKViewerScrollbarSide});
  // The content is at least the surface: a larger surface needs a larger content.
  surface_->fitContent();
  relayout_ = true;
}

bool VSKBTermViewer::onInputWithScroll(const OGLTScrollEvent& scroll) {
  if (!hasCursorRecord()) return false;
  const float old = surface_->scale();
  const float scale = std::clamp(old + kZoomStep * scroll.delta.y, setup_.minScale, setup_.maxScale);
  if (std::fabs(scale - old) > kZoomEpsilon) surface_->setScale(scale);
  return true;
}

bool VSKBTermViewer::onSurface(const OGLTPoint& point) {
  const OGLTPoint local = surface_->worldToLocal(point);
  const OGLTRect b = surface_->bounds();
  return local.x >= b.left && local.x <= b.right && local.y >= b.top && local.y <= b.bottom;
}

bool VSKBTermViewer::onInputWithCursor(const OGLTCursorEvent& cursor) {
  const bool result = ZRVBView::onInputWithCursor(cursor);
  const bool resetButton = cursor.button == kOGLButtonRight || cursor.button == kOGLButtonMiddle;
  const bool acted = cursor.action >= kOGLActionRelease && cursor.action <= kOGLActionRepeat;
  if (resetButton && acted && onSurface(cursor.point)) surface_->setScale(setup_.resetScale);
  return result;
}

void VSKBTermViewer::onUpdateWithStep(float step) {
  ZRVBView::onUpdateWithStep(step);
  const OGLTPoint offset = surface_->offset();
  if (offset.x != barsOffset_.x || offset.y != barsOffset_.y) barsFromOffset();
  if (!surface_->changed() && !relayout_) return;
  synchroniseBars();
  surface_->setChanged(false);
  relayout_ = false;
}

void VSKBTermViewer::synchroniseBars() {
  const OGLTRect s = space();
  const float w = s.right - s.left, h = s.bottom - s.top, top = setup_.topBar;
  const OGLTSize content = surface_->content(), shown = surface_->size();
  OGLTPoint offset = surface_->offset();
  const bool wide = content.w > shown.w, tall = content.h > shown.h;
  // New content is centred along each axis on which it overflows, on even pixels.
  if (wide) {
    horizontal_->setHandle(shown.w / content.w);
    offset.x = VSKFRoundEven((content.w - shown.w) / 2);
  }
  if (tall) {
    vertical_->setHandle(shown.h / content.h);
    offset.y = VSKFRoundEven((content.h - shown.h) / 2);
  }
  horizontal_->setVisible(wide);
  vertical_->setVisible(tall);
  // A bar alone takes its whole edge.
  if (wide && !tall) {
    horizontal_->setSize({w, kVSKViewerScrollbarSide});
  } else if (tall && !wide) {
    vertical_->setSize({kVSKViewerScrollbarSide, h - top});
  } else {
    horizontal_->setSize({w - kVSKViewerScrollbarSide, kVSKViewerScrollbarSide});
    vertical_->setSize({kVSKViewerScrollbarSide, h - top - kVSKViewerScrollbarSide});
  }
  moveOffset(offset);
}

void VSKBTermViewer::moveOffset(OGLTPoint offset) {
  surface_->setOffset(offset);
  surface_->redraw();
  barsFromOffset();
}

void VSKBTermViewer::barsFromOffset() {
  const OGLTSize content = surface_->content(), shown = surface_->size();
  barsOffset_ = surface_->offset();
  if (content.w > 0) horizontal_->setScroll((barsOffset_.x + shown.w / 2) / content.w);
  if (content.h > 0) vertical_->setScroll((barsOffset_.y + shown.h / 2) / content.h);
}

void VSKBTermViewer::show(std::string caption, Ref<MRKBTerm> term) {
  surface_->setString(std::move(caption));
  surface_->setExpr(std::move(term));
}

void VSKBTermViewer::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return;
  switch (message->uid()) {
    case kVSKViewerMenu:
      onMenu(message->tag());
      return;
    case kVSKViewerSquib:
      onSquib(*message);
      return;
    case kVSKViewerControl:
      break;
    default:
      onOtherMessage(*message);
      return;
  }
  const uint32_t tag = message->tag();
  if (tag != kVSKViewerVerticalBar && tag != kVSKViewerHorizontalBar) {
    onControl(*message);
    return;
  }
  const double scroll = message->details().realForKey("scroll", 0.0);
  const OGLTSize content = surface_->content(), shown = surface_->size();
  OGLTPoint offset = surface_->offset();
  if (tag == kVSKViewerVerticalBar) offset.y = static_cast<float>(content.h * scroll - shown.h / 2);
  else offset.x = static_cast<float>(content.w * scroll - shown.w / 2);
  moveOffset(offset);
}

void VSKBTermViewer::onMenu(uint32_t tag) {
  switch (tag) {
    case kVSKViewerClose:
      close();
      break;
    case kVSKViewerUnroll:
      unroll();
      break;
    case kVSKViewerRollup:
      rollup();
      break;
    default:
      break;
  }
}

void VSKBTermViewer::onToggleMenu() {
  Ref<QELCMenuList> list = ZRVFViewMenuList(this);
  if (!list) return;
  const bool rolled = isRolledup();
  ZRVFViewMenuAddItem(this, list.get(), rolled ? "Unroll" : "Roll-up",
                      LLKCMessage::messageWithCode({kVSKViewerMenu, rolled ? kVSKViewerUnroll : kVSKViewerRollup, 0}));
  ZRVFViewMenuAddSeparator(list.get());
  ZRVFViewMenuAddItem(this, list.get(), "Close", LLKCMessage::messageWithCode({kVSKViewerMenu, kVSKViewerClose, 0}));
  ZRVFViewMenuOpen(this, list, setup_.name);
}

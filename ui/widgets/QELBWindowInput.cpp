// The widget window's input dispatch: cursor events first (greedy widget, edge resizing, views
// and other top-level widgets from the topmost down; the rest of a left click only to the widget
// that took its press), then keys, characters, scrolls and joypads (greedy widget, sink, or the
// top-level widgets under the cursor).
#include <algorithm>
#include <cmath>

#include "ui/widgets/QELBControl.h"
#include "ui/widgets/QELBView.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFWidgetDrawing.h"

namespace {

constexpr float kEdgeBand = 3;

// The edge a point near the border of a frame is closest to: top, then bottom, then left win
// only when strictly closest; right otherwise.
uint32_t closestEdge(const OGLTRect& f, const OGLTPoint& p) {
  float left = p.x - f.left, right = f.right - p.x, top = p.y - f.top, bottom = f.bottom - p.y;
  if (top < bottom && top < left && top < right) return kQELResizeTop;
  if (bottom < top && bottom < left && bottom < right) return kQELResizeBottom;
  if (left < right && left < top && left < bottom) return kQELResizeLeft;
  return kQELResizeRight;
}

// A new edge position that keeps the extent between the limits (0: no limit).
float clampedEdge(float moving, float fixed, float delta, float minimum, float maximum, bool movingIsLow) {
  float extent = movingIsLow ? fixed - (moving + delta) : (moving + delta) - fixed;
  if (minimum > 0 && extent < minimum) extent = minimum;
  if (maximum > 0 && extent > maximum) extent = maximum;
  return movingIsLow ? fixed - extent : fixed + extent;
}

}  // namespace

bool QELBWindow::onInputs(OGLTInputQueue& queue) {
  inputs_ = queue;
  noteInputDamage(queue);
  bool consumed = false;
  uint32_t count = queue.count < kOGLInputSlots ? queue.count : kOGLInputSlots;
  for (uint32_t i = 0; i < count; ++i)
    if (queue.events[i].type == kOGLInputCursor) consumed = onInputWithCursor(queue.events[i].cursor) || consumed;
  for (uint32_t i = 0; i < count; ++i) {
    const OGLTInputEvent& event = queue.events[i];
    switch (event.type) {
      case kOGLInputCharacter:
        consumed = onInputWithSymbol(event.character) || consumed;
        break;
      case kOGLInputKey:
        consumed = onInputWithKeypad(event.key) || consumed;
        break;
      case kOGLInputScroll:
        consumed = onInputWithScroll(event.scroll) || consumed;
        break;
      case kOGLInputJoypad:
        consumed = onInputWithJoypad(event.joypad) || consumed;
        break;
      default:
        break;
    }
  }
  return consumed;
}

QELBWidget* QELBWindow::holdingGreedy() {
  // A greedy widget that was hidden, disabled or detached no longer holds the interface.
  if (greedy_ && !(owns(greedy_.get()) && usable(greedy_.get()))) greedy_.reset();
  return greedy_.get();
}

void QELBWindow::resetResizeCursor() {
  uint32_t shape = cursor();
  if (shape == kOGLCursorHorizontalResize || shape == kOGLCursorVerticalResize) setCursor(kOGLCursorArrow);
}

void QELBWindow::endResize() {
  if (resizeMode_ == kQELResizeNone && !resized_) return;
  resized_.reset();
  resizeMode_ = kQELResizeNone;
  setCursor(kOGLCursorArrow);
}

bool QELBWindow::resizeStep(const OGLTCursorEvent& c) {
  if (QELFControlIsClick(c)) {
    dirtyLayers_ = true;
    endResize();
    return true;
  }
  OGLTPoint d{c.point.x - resizeAnchor_.x, c.point.y - resizeAnchor_.y};
  OGLTRect f = resized_->frame();
  OGLTSize lo = resized_->minSize(), hi = resized_->maxSize(), usable = resized_->usableSize();
  // An edge drag never makes a view too small to hold its bars and buttons, nor negative.
  lo = {std::max(lo.w, usable.w), std::max(lo.h, usable.h)};
  switch (resizeMode_) {
    case kQELResizeLeft:
      f.left = clampedEdge(f.left, f.right, d.x, lo.w, hi.w, true);
      break;
    case kQELResizeRight:
      f.right = clampedEdge(f.right, f.left, d.x, lo.w, hi.w, false);
      break;
    case kQELResizeTop:
      f.top = clampedEdge(f.top, f.bottom, d.y, lo.h, hi.h, true);
      break;
    case kQELResizeBottom:
      f.bottom = clampedEdge(f.bottom, f.top, d.y, lo.h, hi.h, false);
      break;
    default:
      break;
  }
  resized_->setFrame(f);
  resizeAnchor_ = c.point;
  return true;
}

void QELBWindow::makeCandidate(QELBView* view, const OGLTPoint& point) {
  candidate_ = Ref<QELBView>(view);
  pressPoint_ = point;
  pressTime_ = 0;
  raised_ = false;
}

void QELBWindow::consumedBy(QELBView* view, const OGLTCursorEvent& c) {
  if (candidate_.get() == view) {
    if (c.action == kOGLActionRelease && !raised_) {
      raised_ = true;
      raise(view);
    }
  } else {
    makeCandidate(view, c.point);
  }
}

bool QELBWindow::reachable(QELBWidget* widget) {
  // A view disabled by its own toggle still takes the cursor, so that the toggle can enable it
  // again; its children, disabled with it, get nothing.
  auto* view = dynamic_cast<QELBView*>(widget);
  bool enabled = widget->enabled() || (view && (view->flags() & kQELViewEnableButton));
  return widget->visible() && enabled && owns(widget) && !widget->parent();
}

bool QELBWindow::toDraggedView(QELBView* view, const OGLTCursorEvent& c) {
  OGLTPoint local = view->worldToLocal(c.point), last = view->lastPoint();
  float r = std::hypot(local.x - last.x, local.y - last.y);
  if (!QELFRectContains(QELFRectInset(view->frame(), -r), c.point)) return false;
  setCursor(kOGLCursorArrow);
  if (!view->onInputWithCursor(c)) return false;
  if (candidate_.get() != view) makeCandidate(view, c.point);
  if (!raised_) {
    raised_ = true;
    raise(view);
  }
  return true;
}

bool QELBWindow::onInputWithCursor(const OGLTCursorEvent& c) {
  // A plain move while a click is held: its release came while the pointer was elsewhere.
  if (clickHeld_ && c.button == kOGLButtonNone && c.action == kOGLActionNone) endClick();
  const bool starts = !clickHeld_ && QELFControlIsLeftDown(c);
  const bool continues = clickHeld_ && (QELFControlIsLeftDown(c) || QELFControlIsClick(c));
  Ref<QELBWidget> owner = clickOwner_;
  if (QELFControlIsClick(c)) endClick();
  QELBWidget* taker = takeCursor(c, continues ? owner.get() : nullptr, continues);
  if (starts) {
    clickHeld_ = true;
    clickOwner_ = Ref<QELBWidget>(taker);
  }
  return taker != nullptr;
}

void QELBWindow::endClick() {
  clickHeld_ = false;
  clickOwner_.reset();
}

QELBWidget* QELBWindow::takeCursor(const OGLTCursorEvent& c, QELBWidget* owner, bool ownerOnly) {
  if (QELBWidget* greedy = holdingGreedy()) {
    Ref<QELBWidget> hold(greedy);
    bool result = greedy->onInputWithCursor(c);
    if (QELFControlIsClick(c)) greedy_.reset();
    QELBWidget* root = greedy;
    while (root->parent()) root = root->parent();
    return result ? root : nullptr;
  }
  if (QELFControlIsClick(c)) sink_.reset();

  if (resizeMode_ != kQELResizeNone) {
    if (resized_ && owns(resized_.get())) {
      QELBWidget* view = resized_.get();
      return resizeStep(c) ? view : nullptr;
    }
    endResize();  // the view went away while it was being resized
  }

  std::vector<Ref<QELBWidget>> order = widgets_->copy();
  // The rest of a click goes to the widget that took its press, or to nobody: a menu or a dialog
  // that closed under the pointer leaves nothing beneath it to raise, act or start a drag.
  auto offered = [&](QELBWidget* widget) { return !ownerOnly || widget == owner; };
  // A view being dragged keeps the cursor until the release, however fast the pointer moves and
  // whatever lies above it: a widget over the pointer would otherwise take the moves and the
  // release, and the drag would stay on to pull the view to the next press.
  for (auto it = order.rbegin(); it != order.rend(); ++it)
    if (auto* view = dynamic_cast<QELBView*>(it->get()); view && view->isDragged() && reachable(view) && offered(view))
      if (toDraggedView(view, c)) return view;
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    QELBWidget* widget = it->get();
    auto* view = dynamic_cast<QELBView*>(widget);
    if (!reachable(widget) || !offered(widget)) continue;
    OGLTRect f = widget->frame();
    bool inside = QELFRectContains(f, c.point);
    if (!view) {
      if (!inside) continue;
      resetResizeCursor();
      if (widget->onInputWithCursor(c)) return widget;
      continue;
    }
    if (view->isDragged()) continue;  // offered the record above
    bool resizable = view->flags() & kQELViewResizable;
    if (resizable && !inside) {
      resetResizeCursor();
      continue;
    }
    if (!inside) continue;
    bool inBand = c.point.x < f.left + kEdgeBand || c.point.x > f.right - kEdgeBand || c.point.y < f.top + kEdgeBand ||
                  c.point.y > f.bottom - kEdgeBand;
    if (resizable && inBand) {
      uint32_t edge = closestEdge(f, c.point);
      uint32_t shape =
          edge == kQELResizeTop || edge == kQELResizeBottom ? kOGLCursorVerticalResize : kOGLCursorHorizontalResize;
      if (cursor() != shape) setCursor(shape);
      if (QELFControlIsLeftDown(c)) {
        resized_ = Ref<QELBView>(view);
        resizeMode_ = edge;
        resizeAnchor_ = c.point;
        raise(view);
        dirtyLayers_ = true;
        return view;
      }
      if (view->onInputWithCursor(c)) consumedBy(view, c);
      return view;
    }
    resetResizeCursor();
    if (view->onInputWithCursor(c)) {
      consumedBy(view, c);
      return view;
    }
  }
  candidate_.reset();
  return nullptr;
}

bool QELBWindow::onLostInputFocus() {
  endClick();  // its release goes to another window
  if (resizeMode_ != kQELResizeNone || resized_) endResize();
  return false;
}

template <typename Event>
bool QELBWindow::passToGreedy(QELBWidget* greedy, const Event& event, bool (QELBWidget::*hook)(const Event&)) {
  Ref<QELBWidget> hold(greedy);
  return greedy->hasCursorRecord() && (greedy->*hook)(event);
}

template <typename Event>
bool QELBWindow::passToHovered(const Event& event, bool (QELBWidget::*hook)(const Event&)) {
  std::vector<Ref<QELBWidget>> order = widgets_->copy();
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    QELBWidget* widget = it->get();
    if (!usable(widget) || !owns(widget) || widget->parent() || !widget->hasCursorRecord()) continue;
    if ((widget->*hook)(event)) return true;
  }
  return false;
}

bool QELBWindow::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (QELBWidget* greedy = holdingGreedy()) return passToGreedy(greedy, key, &QELBWidget::onInputWithKeypad);
  if (sink_ && owns(sink_.get())) {
    // The sink's topmost ancestor gets the key and passes it down to its children.
    Ref<QELBWidget> root = sink_;
    while (root->parent()) root = Ref<QELBWidget>(root->parent());
    return usable(root.get()) && root->onInputWithKeypad(key);
  }
  return passToHovered(key, &QELBWidget::onInputWithKeypad);
}

bool QELBWindow::onInputWithSymbol(const OGLTCharacterEvent& symbol) {
  if (QELBWidget* greedy = holdingGreedy()) return passToGreedy(greedy, symbol, &QELBWidget::onInputWithSymbol);
  if (sink_ && owns(sink_.get())) {
    Ref<QELBWidget> sink = sink_;
    return usable(sink.get()) && sink->onInputWithSymbol(symbol);
  }
  return passToHovered(symbol, &QELBWidget::onInputWithSymbol);
}

bool QELBWindow::onInputWithScroll(const OGLTScrollEvent& scroll) {
  if (QELBWidget* greedy = holdingGreedy()) return passToGreedy(greedy, scroll, &QELBWidget::onInputWithScroll);
  return passToHovered(scroll, &QELBWidget::onInputWithScroll);
}

bool QELBWindow::onInputWithJoypad(const OGLTJoypadEvent& joypad) {
  if (QELBWidget* greedy = holdingGreedy()) {
    Ref<QELBWidget> hold(greedy);
    return greedy->onInputWithJoypad(joypad);
  }
  std::vector<Ref<QELBWidget>> order = widgets_->copy();
  for (auto it = order.rbegin(); it != order.rend(); ++it)
    if (usable(it->get()) && owns(it->get()) && !(*it)->parent() && (*it)->onInputWithJoypad(joypad)) return true;
  return false;
}

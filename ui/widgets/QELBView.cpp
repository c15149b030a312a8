#include "ui/widgets/QELBView.h"

#include <algorithm>
#include <cmath>

#include "framework/core/NRKFNumerics.h"
#include "ui/widgets/QELBControl.h"
#include "ui/widgets/QELBWindow.h"

namespace {

constexpr float kBarHeight = kQELViewBarHeight;

// The frame moved so that a grip of its title bar (some of its width, its whole height) lies
// inside the area; an empty area leaves it alone.
OGLTRect withGripInside(const OGLTRect& f, const OGLTRect& area) {
  const float width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return f;
  const float grip = std::min(2 * kBarHeight, width);
  float dx = 0, dy = 0;
  if (f.right < area.left + grip) dx = area.left + grip - f.right;
  if (f.left > area.right - grip) dx = area.right - grip - f.left;
  if (f.top < area.top) dy = area.top - f.top;
  if (f.top > area.bottom - kBarHeight) dy = std::max(area.top, area.bottom - kBarHeight) - f.top;
  return {f.left + dx, f.top + dy, f.right + dx, f.bottom + dy};
}

Ref<LLKCMessage> copyOf(const Ref<LLKCMessage>& message) { return message ? message->copy() : nullptr; }

}  // namespace

QELBView::QELBView(OGLTSize size, OGLTPoint position, std::string title, uint32_t flags)
    : QELBParent(size, position), flags_(flags), title_(std::move(title)) {
  setVisible(false);
}

QELBView::~QELBView() = default;

Ref<QELCView> QELCView::widgetWithSize(OGLTSize size, OGLTPoint position, std::string title) {
  return widgetWithSize(size, position, std::move(title), kQELViewTitleBar | kQELViewDraggable);
}

Ref<QELCView> QELCView::widgetWithSize(OGLTSize size, OGLTPoint position, std::string title, uint32_t flags) {
  return adoptRef(new QELCView(size, position, std::move(title), flags));
}

OGLTSize QELBView::sizeToFit(OGLTSize content, QELBWindow* window, uint32_t flags) {
  if (!window) return {0, 0};
  float width = content.w + 4, height = content.h + 4;
  if (flags & kQELViewTitleBar) height += kBarHeight + 1;
  if (flags & kQELViewStatusBar) height += kBarHeight;
  return {QELFRoundEven(width), QELFRoundEven(height)};
}

float QELBView::barsHeight() const {
  return ((flags_ & kQELViewTitleBar) ? kBarHeight : 0) + ((flags_ & kQELViewStatusBar) ? kBarHeight : 0);
}

OGLTSize QELBView::usableSize() const {
  // Each title-bar button takes about a bar height with its gap; the title gets two more.
  int buttons = 0;
  for (uint32_t flag : {kQELViewMenuButton, kQELViewEnableButton, kQELViewRollButton, kQELViewCloseButton})
    if (flags_ & flag) ++buttons;
  return {4 + (buttons + 2) * kBarHeight, 4 + barsHeight() + kBarHeight};
}

OGLTRect QELBView::reachableFrame(const OGLTRect& frame, const OGLTRect& area) const {
  OGLTSize usable = usableSize();
  // A frame that is not a number would be lost for good: start again from the origin.
  OGLTRect f = std::isfinite(frame.left + frame.top + frame.right + frame.bottom) ? frame : OGLTRect{0, 0, 0, 0};
  f.right = std::max(f.right, f.left + usable.w);
  f.bottom = std::max(f.bottom, f.top + usable.h);
  return withGripInside(f, area);
}

OGLTPoint QELBView::placeablePoint(OGLTPoint point) {
  static constexpr float kFar = 1 << 20;
  auto fit = [](float v) { return std::isfinite(v) ? std::clamp(v, -kFar, kFar) : 0.0f; };
  return {fit(point.x), fit(point.y)};
}

void QELBView::setTitle(std::string title) { showChange(title_, std::move(title)); }

void QELBView::setStatus(std::string status) { showChange(status_, std::move(status)); }

void QELBView::setFlags(uint32_t flags) { showChange(flags_, flags); }

void QELBView::setSize(OGLTSize size) {
  QELBWidget::setSize(size);
  onResized();
}

void QELBView::setFrame(const OGLTRect& frame) {
  OGLTSize before = size();
  QELBWidget::setFrame(frame);
  OGLTSize after = size();
  if (after.w != before.w || after.h != before.h) onResized();
}

OGLTRect QELBView::space() {
  OGLTRect b = bounds();
  if (!window()) return b;
  // The body inside its border, less the bars: where children are drawn and hit-tested.
  return {b.left + 1, b.top + 1 + ((flags_ & kQELViewTitleBar) ? kBarHeight : 0), b.right - 1,
          b.bottom - 1 - ((flags_ & kQELViewStatusBar) ? kBarHeight : 0)};
}

OGLTSize QELBView::preferredSizeWithWindow(QELBWindow* window) {
  if (!window) return {0, 0};
  OGLTRect box{0, 0, 100, 100};
  const std::vector<Ref<QELBWidget>> members = _childs()->members();
  if (!members.empty()) {
    box = members.front()->frame();
    for (const Ref<QELBWidget>& child : members) {
      const OGLTRect& f = child->frame();
      box = {std::min(box.left, f.left), std::min(box.top, f.top), std::max(box.right, f.right),
             std::max(box.bottom, f.bottom)};
    }
  }
  return {QELFRoundEven(box.right - box.left + 4), QELFRoundEven(box.bottom - box.top + 4 + barsHeight())};
}

float QELBView::rolledHeight() const { return (flags_ & kQELViewStatusBar) ? 42 : 24; }

void QELBView::rollup() {
  switch (roll_) {
    case kQELRollOpen:
    case kQELRollRollingUp:
    case kQELRollCloseRequested: {
      // Rolling up ends at the bars' height; unrolling ends at the height the view had open,
      // also after a second roll-up that went on from a height on the way.
      if (roll_ != kQELRollRollingUp) openHeight_ = size().h;
      rollDistance_ = std::max(0.0f, size().h - rolledHeight());
      progress_ = 0;
      roll_ = kQELRollRollingUp;
      break;
    }
    case kQELRollUnrolling:
      progress_ = 1 - progress_;
      roll_ = kQELRollRollingUp;
      break;
    default:
      break;
  }
}

void QELBView::unroll() {
  if (roll_ == kQELRollRollingUp) {
    progress_ = 1 - progress_;
    roll_ = kQELRollUnrolling;
  } else if (roll_ == kQELRollRolledUp) {
    progress_ = 0;
    roll_ = kQELRollUnrolling;
    rollDistance_ = std::max(0.0f, openHeight_ - rolledHeight());
  }
}

void QELBView::close() {
  if (roll_ != kQELRollCloseRequested) rollBeforeClose_ = roll_;
  roll_ = kQELRollCloseRequested;
}

void QELBView::finishClose() {
  Ref<QELBView> self(this);  // the view may be detached (and let go) below
  // Back to the roll state it had: a view closed while rolled up can be unrolled once shown.
  roll_ = rollBeforeClose_;
  setVisible(false);
  onClose();
  if (Ref<LLKCMessage> closed = copyOf(onClosed_)) send(closed);
  if (!(flags_ & kQELViewDetachOnClose)) return;
  if (QELBParent* owner = parent()) Ref<QELBParent>(owner)->detach(self);
  else if (QELBWindow* top = window()) top->detach(self);
}

void QELBView::stepRoll(float step) {
  bool done = false;
  eased_ = NRKFComputeEasingFactor(3, 1.0f, &progress_, step, &done);
  bool rollingUp = roll_ == kQELRollRollingUp;
  if (done) {
    roll_ = rollingUp ? kQELRollRolledUp : kQELRollOpen;
    if (Ref<LLKCMessage> message = copyOf(rollingUp ? onRollup_ : onUnroll_)) send(message);
  }
  float height = (rollingUp ? 1 - eased_ : eased_) * rollDistance_ + rolledHeight();
  setSize({size().w, height});
}

void QELBView::onUpdateWithStep(float step) {
  Ref<QELBView> self(this);
  QELBParent::onUpdateWithStep(step);
  if (roll_ == kQELRollCloseRequested) finishClose();
  else if (roll_ == kQELRollRollingUp || roll_ == kQELRollUnrolling) stepRoll(step);
  // A hidden (or closed) view no longer sees the release that would end its drag; a drag left
  // standing would take every cursor event once the view shows again.
  if (dragged_ && !showing()) dragged_ = false;
}

bool QELBView::onInputWithCursor(const OGLTCursorEvent& c) {
  OGLTPoint p = worldToLocal(c.point);
  OGLTRect b = bounds();
  if (!dragged_ && !QELFRectContains({b.left + 1, b.top + 1, b.right - 1, b.bottom - 1}, p)) return false;
  // The parent's handling, except that children are reached only where they are drawn: inside
  // the content rect of a view that is not rolled up (not on the bars they overflow into).
  if (QELFRectContains(b, p)) {
    forceInputWithCursor(c);
    if (roll_ != kQELRollRolledUp && QELFRectContains(space(), p)) passCursorToChildren(c);
  }
  if (!(flags_ & kQELViewDraggable)) {
    dragged_ = false;
    return true;
  }
  if (!dragged_) {
    bool inTitle = p.x >= b.left + 1 && p.x <= b.right - 1 && p.y >= b.top + 1 && p.y <= b.top + 21;
    if (QELFControlIsLeftDown(c) && inTitle) {
      dragged_ = true;
      lastPoint_ = p;
    }
    return true;
  }
  // The release is a place of the drag too: a flick (press, move and release in one frame) ends
  // where the button came up.
  if (QELFControlIsLeftDown(c) || QELFControlIsClick(c)) dragTo(p);
  if (QELFControlIsClick(c)) dragged_ = false;
  return true;
}

void QELBView::dragTo(const OGLTPoint& p) {
  OGLTRect f = frame();
  float dx = p.x - lastPoint_.x, dy = p.y - lastPoint_.y;
  OGLTRect moved{f.left + dx, f.top + dy, f.right + dx, f.bottom + dy};
  QELBWindow* owner = window();
  OGLTSize area = owner ? owner->size() : OGLTSize{0, 0};
  bool allowed = true;
  if (flags_ & kQELViewKeepInside)
    allowed = moved.left >= 0 && moved.top >= 0 && moved.right <= area.w && moved.bottom <= area.h;
  else moved = withGripInside(moved, {0, 0, area.w, area.h});
  if (allowed) setFrame(moved);
}

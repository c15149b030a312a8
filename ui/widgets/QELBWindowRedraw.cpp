// Redrawing only what changed. Each frame collects damage: the rects widgets asked for, the
// top-level widgets under the cursor's points of this frame and the last one (moves and drags),
// the old and new place of a top-level widget that changed, or everything (a press, a release,
// keys, scrolls, joypads, work run on the window's thread, a change of the theme or of the
// top-level order).
// Each 2D pass then keeps its last pixels outside the damaged area and draws again, clipped to
// it, the top-level widgets that reach into it: the pixels a full frame would draw.
#include <algorithm>
#include <cstring>

#include "ui/gl/OGLC2DContext.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFGeometry.h"

namespace {

bool sameRect(const OGLTRect& a, const OGLTRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

void QELBWindow::redraw() { damage_.addAll(); }

void QELBWindow::redraw(const OGLTRect& rect) { damage_.add(rect); }

void QELBWindow::setRedrawsOnRequest(bool onRequest) {
  redrawsOnRequest_ = onRequest;
  damage_.addAll();
}

void QELBWindow::noteInputDamage(const OGLTInputQueue& queue) {
  lastCursorPoints_.swap(cursorPoints_);
  cursorPoints_.clear();
  uint32_t count = queue.count < kOGLInputSlots ? queue.count : kOGLInputSlots;
  for (uint32_t i = 0; i < count; ++i) {
    const OGLTInputEvent& event = queue.events[i];
    if (event.type != kOGLInputCursor) {
      damage_.addAll();
      continue;
    }
    // A press of the button already held is a drag's motion; a new press or a release may
    // change anything.
    const OGLTCursorEvent& cursor = event.cursor;
    bool dragging = cursor.action == kOGLActionPress && cursor.button == heldButton_;
    if (cursor.action != kOGLActionNone && !dragging) damage_.addAll();
    if (cursor.action == kOGLActionPress) heldButton_ = cursor.button;
    if (cursor.action == kOGLActionRelease || cursor.action == kOGLActionNone) heldButton_ = kOGLButtonNone;
    cursorPoints_.push_back(cursor.point);
  }
  // A cursor that stays where it was changes nothing; one that moves changes what it leaves
  // and what it reaches (hover), and what the greedy widget shows.
  auto samePoint = [](const OGLTPoint& a, const OGLTPoint& b) { return a.x == b.x && a.y == b.y; };
  bool moved = cursorPoints_.size() != lastCursorPoints_.size() ||
               !std::equal(cursorPoints_.begin(), cursorPoints_.end(), lastCursorPoints_.begin(), samePoint);
  if (!moved) return;
  for (const Ref<QELBWidget>& widget : widgets_->members()) {
    if (!owns(widget.get()) || widget->parent()) continue;
    auto under = [&](const std::vector<OGLTPoint>& points) {
      for (const OGLTPoint& point : points)
        if (QELFRectContains(widget->frame(), point)) return true;
      return false;
    };
    if (under(cursorPoints_) || under(lastCursorPoints_)) damage_.add(widget->frame());
  }
  if (greedy_) greedy_->redraw();
}

void QELBWindow::noteTopLevelDamage() {
  std::vector<TopLevelLook> looks;
  for (const Ref<QELBWidget>& widget : widgets_->members())
    looks.push_back({widget.get(), widget->frame(), widget->visible(), widget->enabled(), widget->layer(),
                     widget->flags(), widget->opacity()});
  if (looks.size() != looks_.size()) damage_.addAll();
  for (size_t i = 0; i < looks.size() && i < looks_.size(); ++i) {
    const TopLevelLook &now = looks[i], &before = looks_[i];
    if (now.widget != before.widget) {
      damage_.addAll();
      break;
    }
    if (sameRect(now.frame, before.frame) && now.visible == before.visible && now.enabled == before.enabled &&
        now.layer == before.layer && now.flags == before.flags && now.opacity == before.opacity)
      continue;
    damage_.add(before.frame);
    damage_.add(now.frame);
  }
  looks_ = std::move(looks);
  // The theme is changed in place; a byte copy keeps the comparison exact.
  if (std::memcmp(&drawnTweaks_, &tweaks_, sizeof tweaks_) != 0) {
    std::memcpy(&drawnTweaks_, &tweaks_, sizeof tweaks_);
    damage_.addAll();
  }
}

// Called with the pass's frame begun on the context, before anything is drawn. A partial pass
// draws every top-level widget that reaches into the damaged area (widened to whole pixels),
// whole, as a full frame would; the context keeps what they draw outside the area from showing.
void QELBWindow::takeDamageForPasses() {
  passDamage_ = damage_;
  damage_.clear();
}

void QELBWindow::beginPass(OGLC2DContext* ctx) {
  partialPass_ = false;
  if (!redrawsOnRequest_ || !ctx || passDamage_.all()) return;
  passArea_ = passDamage_.any() ? ctx->pixelAligned(passDamage_.area()) : OGLTRect{};
  OGLTRect reach = passArea_;
  for (const Ref<QELBWidget>& widget : renderOrder_) {
    if (!drawnInArea(widget.get())) continue;
    reach = QELFRectUnion(reach, widget->frame());
  }
  partialPass_ = ctx->redrawOnly(passArea_, reach);
}

bool QELBWindow::drawnInArea(const QELBWidget* widget) const {
  return widget->visible() && const_cast<QELBWindow*>(this)->owns(widget) &&
         QELFRectsOverlap(widget->frame(), passArea_);
}

bool QELBWindow::drawsInPass(const QELBWidget* widget) const {
  if (partialPass_) return drawnInArea(widget);
  return widget->visible() && const_cast<QELBWindow*>(this)->owns(widget);
}

void QELBWindow::endPasses() {
  passDamage_.clear();
  partialPass_ = false;
}

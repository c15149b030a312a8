#include "ui/widgets/QELBScrollbox.h"

#include <algorithm>
#include <cmath>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFScrollLane.h"
#include "ui/widgets/QELFWidgetDrawing.h"
#include "ui/widgets/QELFWidgetInput.h"

namespace {

constexpr float kBar = 16;

// Where along a track of that length a knob starts and how long it is, for the offset, the
// view and the content along the track's direction.
void knobAlong(float length, float offset, float view, float content, float* start, float* size) {
  *start = content > 0 ? length * std::clamp(offset / content, 0.0f, 1.0f) : 0;
  *size = content > 0 ? length * std::clamp(view / content, 0.0f, 1.0f) : length;
}

void fillRect(OGLC2DContext* ctx, const OGLTRect& r, const OGLTColor& ink, float tint) {
  OGLF2DPathBegin(ctx);
  OGLF2DPathRect(ctx, r.left, r.top, r.right - r.left, r.bottom - r.top);
  OGLF2DPathFillColorWithTint(ctx, &ink, tint);
  OGLF2DPathFill(ctx);
}

}  // namespace

void QELFScrollboxComputeContentRect(QELBScrollbox* box, OGLTRect* rect) {
  if (!box || !rect) return;
  OGLTRect u{0, 0, 0, 0};
  for (const Ref<QELBWidget>& child : box->_childs()->members()) u = QELFRectUnion(u, child->frame());
  *rect = u;
}

QELBScrollbox::QELBScrollbox(OGLTSize size, OGLTPoint position) : QELBParent(size, position) {}

QELBScrollbox::~QELBScrollbox() = default;

Ref<QELCScrollbox> QELCScrollbox::widgetWithSize(OGLTSize size, OGLTPoint position) {
  return makeRef<QELCScrollbox>(size, position);
}

OGLTRect QELBScrollbox::space() {
  OGLTRect b = bounds();
  if (flags() & kQELScrollboxAutoBars) return QELFRectInset(b, 1);
  return {b.left + 1, b.top + 1, b.right - 17, b.bottom - 18};
}

// The children are hit where they are drawn: at the view's origin, inside the outline.
OGLTPoint QELBScrollbox::spaceToLocal(const OGLTPoint& point) { return QELFScrollSpaceToLocal(view(), offset_, point); }

OGLTPoint QELBScrollbox::localToSpace(const OGLTPoint& point) { return QELFScrollLocalToSpace(view(), offset_, point); }

OGLTRect QELBScrollbox::verticalTrack() const {
  OGLTRect b = bounds();
  return {b.right - kBar, b.top + 3, b.right - 3, b.bottom - 20};
}

OGLTRect QELBScrollbox::horizontalTrack() const {
  OGLTRect b = bounds();
  return {b.left + 3, b.bottom - kBar, b.right - 19, b.bottom - 3};
}

OGLTRect QELBScrollbox::view() { return QELFRectInset(space(), 1); }

OGLTRect QELBScrollbox::shownWindow() const {
  OGLTRect v = const_cast<QELBScrollbox*>(this)->view();
  return {offset_.x, offset_.y, offset_.x + (v.right - v.left), offset_.y + (v.bottom - v.top)};
}

bool QELBScrollbox::hot() {
  QELBWindow* owner = window();
  if (owner && owner->greedy() == this) return true;
  const QELTInputs& queued = inputs();
  for (uint32_t i = 0; i < queued.count; ++i)
    if (queued.records[i].type == kOGLInputCursor && QELFRectContains(bounds(), queued.records[i].cursor.point))
      return true;
  return false;
}

bool QELBScrollbox::onInputWithCursor(const OGLTCursorEvent& cursor) {
  QELBWindow* owner = window();
  bool greedy = owner && owner->greedy() == this;
  if (!QELFWidgetInnerHit(this, cursor.point) && !greedy) return false;
  OGLTPoint local = worldToLocal(cursor.point);
  bool onKnob = (verticalShown_ && QELFRectContains(verticalKnob_, local)) ||
                (horizontalShown_ && QELFRectContains(horizontalKnob_, local));
  bool consumed = !onKnob && QELFScrollCursorToChildren(this, cursor, shownWindow());
  forceInputWithCursor(cursor);
  return consumed;
}

bool QELBScrollbox::onInputWithKeypad(const OGLTKeypadEvent& key) {
  // The child that has the keyboard (a text box, a nested list) takes its keys first; only a
  // key no child took scrolls the box.
  if (passKeypadToChildren(key)) return true;
  if (hasCursorRecord()) QELBWidget::onInputWithKeypad(key);
  return false;
}

bool QELBScrollbox::onInputWithScroll(const OGLTScrollEvent& scroll) {
  if (hasCursorRecord()) QELBWidget::onInputWithScroll(scroll);
  return false;
}

void QELBScrollbox::onUpdateWithStep(float step) {
  QELBParent::onUpdateWithStep(step);
  QELFScrollboxComputeContentRect(this, &content_);
}

void QELBScrollbox::applyQueuedInput(const OGLTRect& v) {
  float w = v.right - v.left, h = v.bottom - v.top;
  float n = static_cast<float>(_childs()->count());
  const QELTInputs& queued = inputs();
  for (uint32_t i = 0; i < queued.count; ++i) {
    const OGLTInputEvent& record = queued.records[i];
    if (record.type == kOGLInputScroll) offset_.y += (h / n) * record.scroll.delta.y * -5;
    if (record.type != kOGLInputKey || record.key.action != kOGLActionPress) continue;
    if (record.key.key == kOGLKeyRight) offset_.x += w / n;
    else if (record.key.key == kOGLKeyLeft) offset_.x -= w / n;
    else QELFScrollKeyOffset(record.key.key, offset_.y, h / n, h, content_.bottom - content_.top, &offset_.y);
  }
}

void QELBScrollbox::placeKnobs(const OGLTRect& v) {
  OGLTRect vt = verticalTrack(), ht = horizontalTrack();
  float start = 0, size = 0;
  knobAlong(vt.bottom - vt.top, offset_.y, v.bottom - v.top, content_.bottom - content_.top, &start, &size);
  verticalKnob_ = {vt.left, vt.top + start, vt.right, vt.top + start + size};
  knobAlong(ht.right - ht.left, offset_.x, v.right - v.left, content_.right - content_.left, &start, &size);
  horizontalKnob_ = {ht.left + start, ht.top, ht.left + start + size, ht.bottom};
}

void QELBScrollbox::drawBars(OGLC2DContext* ctx, const OGLTColor& ink, float tint, const OGLTRect& v) {
  bool autoBars = flags() & kQELScrollboxAutoBars;
  verticalShown_ = !autoBars || content_.bottom - content_.top > v.bottom - v.top;
  horizontalShown_ = !autoBars || content_.right - content_.left > v.right - v.left;
  if (verticalShown_) fillRect(ctx, verticalKnob_, ink, tint);
  if (horizontalShown_) fillRect(ctx, horizontalKnob_, ink, tint);
}

void QELBScrollbox::drag(const OGLTRect& v) {
  QELBWindow* owner = window();
  const QELTInputs& queued = inputs();
  const OGLTCursorEvent* cursor = nullptr;
  for (uint32_t i = 0; i < queued.count && !cursor; ++i)
    if (queued.records[i].type == kOGLInputCursor) cursor = &queued.records[i].cursor;
  if (!owner || !cursor || cursor->action == kOGLActionNone) return;
  bool greedy = owner->greedy() == this;
  OGLTRect vt = verticalTrack(), ht = horizontalTrack();
  bool moved = false;
  if (greedy || QELFRectContains(QELFRectInset(vt, -2), cursor->point)) {
    float length = vt.bottom - vt.top;
    if (length > 0)
      offset_.y =
          std::round((cursor->point.y - vt.top) / length * (content_.bottom - content_.top - (v.bottom - v.top)));
    moved = true;
  }
  if (greedy || QELFRectContains(QELFRectInset(ht, -2), cursor->point)) {
    float length = ht.right - ht.left;
    if (length > 0)
      offset_.x =
          std::round((cursor->point.x - ht.left) / length * (content_.right - content_.left - (v.right - v.left)));
    moved = true;
  }
  if (moved && cursor->action == kOGLActionPress) owner->setGreedy(Ref<QELBWidget>(this));
  if (cursor->action == kOGLActionRelease && greedy) owner->setGreedy(nullptr);
  offset_ = {QELFScrollClamp(offset_.x, content_.right - content_.left, v.right - v.left),
             QELFScrollClamp(offset_.y, content_.bottom - content_.top, v.bottom - v.top)};
}

void QELBScrollbox::onRenderWithStep(float step) {
  QELBWindow* owner = window();
  OGLC2DContext* ctx = owner ? owner->context() : nullptr;
  if (!ctx || !visible()) return;
  const QELTWindowTweaks& tweaks = *owner->tweaks();
  bool isHot = hot();
  const OGLTColor& ink = isHot ? tweaks.brightColor : tweaks.textColor;
  float tint = QELFWidgetTint(this);
  OGLTRect b = bounds(), outline = QELFRectInset(b, 1);
  OGLF2DPathBegin(ctx);
  OGLF2DPathRect(ctx, outline.left, outline.top, outline.right - outline.left, outline.bottom - outline.top);
  if (!(flags() & kQELScrollboxAutoBars)) {
    OGLF2DPathMoveTo(ctx, b.right - 18, b.top + 2);
    OGLF2DPathLineTo(ctx, b.right - 18, b.bottom - 2);
    OGLF2DPathMoveTo(ctx, b.left + 1, b.bottom - 18);
    OGLF2DPathLineTo(ctx, b.right - 1, b.bottom - 18);
  }
  OGLF2DPathStrokeWidth(ctx, 0.5f);
  OGLF2DPathStrokeColorWithTint(ctx, &ink, tint);
  OGLF2DPathStroke(ctx);
  OGLF2DPathStrokeWidth(ctx, 1);
  OGLTRect v = view();
  bool any = _childs()->count() > 0;
  if (any) {
    if (isHot) applyQueuedInput(v);
    // Clamped also while not hot, so that content that shrank never leaves the view empty.
    offset_ = {QELFScrollClamp(offset_.x, content_.right - content_.left, v.right - v.left),
               QELFScrollClamp(offset_.y, content_.bottom - content_.top, v.bottom - v.top)};
    QELFWidgetRenderScrolled(ctx, childs(), v, offset_, shownWindow(), step);
    placeKnobs(v);
  }
  if ((flags() & kQELScrollboxAutoBars) && !isHot) {
    verticalShown_ = horizontalShown_ = false;
    return;
  }
  drawBars(ctx, ink, tint, v);
  if (isHot && any) drag(v);
}

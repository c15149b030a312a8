#include "ui/widgets/QELFScrollLane.h"

#include <algorithm>
#include <cmath>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFGeometry.h"
#include "ui/widgets/QELFWidgetDrawing.h"

OGLTRect QELFScrollLaneRect(const OGLTRect& bounds) {
  OGLTRect inner = QELFRectInset(bounds, 1);
  return {inner.right - kQELScrollLaneWidth, inner.top, inner.right, inner.bottom};
}

float QELFScrollLaneRowWidth(const OGLTRect& bounds) {
  return (bounds.right - 1) - (bounds.left + 1) - kQELScrollLaneWidth - 1;
}

OGLTPoint QELFScrollSpaceToLocal(const OGLTRect& space, const OGLTPoint& offset, const OGLTPoint& point) {
  return {std::round(point.x + space.left - offset.x), std::round(point.y + space.top - offset.y)};
}

OGLTPoint QELFScrollLocalToSpace(const OGLTRect& space, const OGLTPoint& offset, const OGLTPoint& point) {
  return {std::round(point.x - space.left + offset.x), std::round(point.y - space.top + offset.y)};
}

bool QELFScrollCursorToChildren(QELBParent* box, const OGLTCursorEvent& cursor, const OGLTRect& shown) {
  bool consumed = false;
  // A copy: a child may detach itself or a sibling while it handles the record.
  std::vector<Ref<QELBWidget>> order = box->childs();
  for (const Ref<QELBWidget>& child : order) {
    if (child->parent() != box || !child->visible() || !child->enabled()) continue;
    if (QELFRectsOverlap(child->frame(), shown) && child->onInputWithCursor(cursor)) consumed = true;
  }
  return consumed;
}

float QELFScrollFraction(float offset, float content) { return content > 0 ? offset / content : 0; }

bool QELFScrollKeyOffset(int32_t key, float offset, float step, float visible, float content, float* moved) {
  switch (key) {
    case kOGLKeyDown:
      *moved = offset + step;
      return true;
    case kOGLKeyUp:
      *moved = offset - step;
      return true;
    case kOGLKeyPageUp:
      *moved = offset - visible;
      return true;
    case kOGLKeyPageDown:
      *moved = offset + visible;
      return true;
    case kOGLKeyHome:
      *moved = 0;
      return true;
    case kOGLKeyEnd:
      *moved = content - visible;
      return true;
    default:
      return false;
  }
}

float QELFScrollClamp(float offset, float content, float visible) {
  if (!(content > visible) || !(offset > 0)) return 0;  // also NaN
  return std::round(std::min(offset, content - visible));
}

void QELFScrollLaneDraw(OGLC2DContext* ctx, QELBWidget* box, bool hovered, float offset, float content, float visible) {
  QELBWindow* owner = box->window();
  if (!ctx || !owner) return;
  const QELTWindowTweaks& tweaks = *owner->tweaks();
  OGLTColor ink = hovered ? tweaks.brightColor : tweaks.textColor;
  float tint = QELFWidgetTint(box);
  OGLTRect inner = QELFRectInset(box->bounds(), 1);
  OGLTRect lane = QELFScrollLaneRect(box->bounds());
  OGLF2DPathBegin(ctx);
  OGLF2DPathRect(ctx, inner.left, inner.top, inner.right - inner.left, inner.bottom - inner.top);
  OGLF2DPathMoveTo(ctx, lane.left, lane.top);
  OGLF2DPathLineTo(ctx, lane.left, lane.bottom);
  OGLF2DPathStrokeColorWithTint(ctx, &ink, tint);
  OGLF2DPathStroke(ctx);
  float length = lane.bottom - lane.top;
  float thumb = content > visible ? length * visible / content : length;
  float top = content > 0 ? length * std::clamp(offset / content, 0.0f, 1.0f) : 0;
  OGLF2DPathBegin(ctx);
  OGLF2DPathRect(ctx, lane.left + 2, lane.top + top, lane.right - lane.left - 4, thumb);
  OGLF2DPathFillColorWithTint(ctx, &ink, tint);
  OGLF2DPathFill(ctx);
}

bool QELFScrollLaneDrag(QELBWidget* box, const OGLTCursorEvent& local, float content, float visible, float* offset) {
  QELBWindow* owner = box->window();
  if (!owner || local.action == kOGLActionNone) return false;
  bool greedy = owner->greedy() == box;
  OGLTRect lane = QELFScrollLaneRect(box->bounds());
  if (!greedy && !QELFRectContains(QELFRectInset(lane, -2), local.point)) return false;
  float length = lane.bottom - lane.top;
  if (length > 0) *offset = std::round((content - visible) * (local.point.y - lane.top) / length);
  *offset = QELFScrollClamp(*offset, content, visible);
  if (local.action == kOGLActionPress) owner->setGreedy(Ref<QELBWidget>(box));
  else if (greedy) owner->setGreedy(nullptr);
  return true;
}

#include "ui/widgets/QELBCanvas.h"

#include <algorithm>
#include <cmath>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFWidgetDrawing.h"

namespace {

// Clamps one component: 0 when the content fits, else within [0, content - size], so the last
// row or column of the content can be shown.
float clampComponent(float offset, float size, float content) {
  if (!(offset > 0)) return 0;  // also NaN
  if (size >= content) return 0;
  return std::min(offset, content - size);
}

bool overlaps(const OGLTRect& a, const OGLTRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

OGLTSize QELFCanvasApplyOffset(QELTCanvasRecord* record, QELBCanvas* canvas, OGLTPoint offset) {
  if (!record || !canvas) return {0, 0};
  OGLTSize size = canvas->size();
  OGLTSize content = record->content;
  if (!(size.w > 0 && size.h > 0 && content.w > 0 && content.h > 0)) {
    record->offset = {0, 0};
  } else {
    record->offset = {clampComponent(offset.x, size.w, content.w), clampComponent(offset.y, size.h, content.h)};
  }
  return size;
}

QELBCanvas::QELBCanvas(OGLTSize size, OGLTPoint position) : QELBParent(size, position) {}

QELBCanvas::~QELBCanvas() = default;

Ref<QELCCanvas> QELCCanvas::widgetWithSize(OGLTSize size, OGLTPoint position) {
  return adoptRef(new QELCCanvas(size, position));
}

void QELBCanvas::setContent(OGLTSize content) {
  record_.content = content;
  QELFCanvasApplyOffset(&record_, this, record_.offset);
}

void QELBCanvas::setOffset(OGLTPoint offset) { QELFCanvasApplyOffset(&record_, this, offset); }

OGLTRect QELBCanvas::visibleRect() const {
  OGLTSize s = size();
  OGLTPoint o = record_.offset;
  return {o.x, o.y, o.x + std::min(record_.content.w, s.w), o.y + std::min(record_.content.h, s.h)};
}

OGLTPoint QELBCanvas::spaceToLocal(const OGLTPoint& point) {
  return {std::round(point.x - record_.offset.x), std::round(point.y - record_.offset.y)};
}

OGLTPoint QELBCanvas::localToSpace(const OGLTPoint& point) {
  return {std::round(point.x + record_.offset.x), std::round(point.y + record_.offset.y)};
}

bool QELBCanvas::onInputWithCursor(const OGLTCursorEvent& cursor) {
  OGLTPoint local = worldToLocal(cursor.point);
  QELBWindow* owner = window();
  bool greedy = owner && owner->greedy() == this;
  if (!QELFRectContains(bounds(), local) && !greedy) return false;
  // Only the child under the cursor (in content coordinates) gets the event, the topmost first:
  // the one the user sees there.
  OGLTPoint point = localToSpace(local);
  OGLTRect shown = visibleRect();
  bool consumed = false;
  std::vector<Ref<QELBWidget>> order = childs();
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    const Ref<QELBWidget>& child = *it;
    if (child->parent() != this || !child->visible() || !child->enabled()) continue;
    if (!overlaps(child->frame(), shown) || !QELFRectContains(child->frame(), point)) continue;
    if (child->onInputWithCursor(cursor)) {
      consumed = true;
      break;
    }
  }
  forceInputWithCursor(cursor);
  return consumed;
}

bool QELBCanvas::onInputWithKeypad(const OGLTKeypadEvent& key) {
  return hasCursorRecord() && QELBParent::onInputWithKeypad(key);
}

bool QELBCanvas::onInputWithScroll(const OGLTScrollEvent& scroll) {
  return hasCursorRecord() && QELBParent::onInputWithScroll(scroll);
}

void QELBCanvas::onRenderWithStep(float step) {
  QELBWindow* owner = window();
  OGLC2DContext* ctx = owner ? owner->context() : nullptr;
  if (!ctx || !visible()) return;
  OGLTRect area = bounds();
  OGLTRect shown = visibleRect();
  OGLF2DClipEnter(ctx, &area, true);
  OGLF2DTranslate(ctx, -record_.offset.x, -record_.offset.y);
  onRenderWithStepAndRect(step, shown);
  std::vector<Ref<QELBWidget>> order = childs();
  for (const Ref<QELBWidget>& child : order)
    if (child->visible() && overlaps(child->frame(), shown)) QELFWidgetRenderClipped(ctx, child.get(), step);
  OGLF2DClipLeave(ctx);
}

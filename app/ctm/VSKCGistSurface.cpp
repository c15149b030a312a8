#include "app/ctm/VSKCGistSurface.h"

#include <new>

#include "ui/widgets/QELBWindow.h"

Ref<VSKCGistSurface> VSKCGistSurface::surface() { return makeRef<VSKCGistSurface>(); }

void VSKCGistSurface::onRenderWithStepAndRect(float, const OGLTRect& visible) {
  VSKTDrawingContext record{};
  if (!expr() || !tree() || !drawingRecord(&record)) return;
  const float fadeBy = fade();
  OGLF2DStatePush(record.context);
  if (!string().empty()) OGLF2DPathFillColorWithTint(record.context, &record.theme->textColor, fadeBy);
  drawContent(record, visible, fadeBy);
  OGLF2DStatePull(record.context);
}

bool VSKCGistSurface::onInputWithCursor(const OGLTCursorEvent& cursor) {
  const bool taken = QELBCanvas::onInputWithCursor(cursor);
  QELBWindow* owner = window();
  // A pan whose hold the window let go (the view was hidden or left) is over.
  if (dragging_ && (!owner || owner->greedy() != this)) dragging_ = false;
  if (!owner || cursor.button != kOGLButtonLeft) return taken;
  if (cursor.action == kOGLActionRelease) {
    const bool ended = dragging_;
    dragging_ = false;
    return taken || ended;
  }
  if (!(cursor.action & kOGLActionPress)) return taken;
  if (!dragging_) {
    const OGLTPoint local = worldToLocal(cursor.point);
    const OGLTRect b = bounds();
    const bool inside = local.x >= b.left && local.x <= b.right && local.y >= b.top && local.y <= b.bottom;
    if (taken || !inside || owner->greedy()) return taken;
    dragging_ = true;
    dragStart_ = cursor.point;
    dragOffset_ = offset();
    owner->setGreedy(Ref<QELBWidget>(this));
    return true;
  }
  setOffset({dragOffset_.x - (cursor.point.x - dragStart_.x), dragOffset_.y - (cursor.point.y - dragStart_.y)});
  redraw();
  return true;
}

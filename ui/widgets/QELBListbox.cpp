#include "ui/widgets/QELBListbox.h"

#include <algorithm>
#include <cmath>

#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFScrollLane.h"
#include "ui/widgets/QELFWidgetDrawing.h"
#include "ui/widgets/QELFWidgetInput.h"

void QELFListboxComputeContentRect(QELBListbox* listbox, OGLTRect* rect) {
  if (!listbox || !rect) return;
  bool fit = listbox->flags() & kQELListboxFitWidth;
  float y = 0, widest = 0;
  // The drawing order: the children's comparator's order when one is set.
  std::vector<Ref<QELBWidget>> order = listbox->childs();
  for (const Ref<QELBWidget>& child : order) {
    OGLTSize s = child->size();
    if (fit) s.w = listbox->width();
    child->setFrame({0, y, s.w, y + s.h});
    widest = std::max(widest, s.w);
    y += s.h;
  }
  *rect = {0, 0, widest, y};
}

void QELFListboxComputeVisibleRect(const QELBListbox* listbox, OGLTRect* rect) {
  if (!listbox || !rect) return;
  OGLTPoint offset = listbox->offset();
  *rect = {offset.x, offset.y, offset.x + listbox->width(), offset.y + listbox->visibleHeight()};
}

QELBListbox::QELBListbox(OGLTSize size, OGLTPoint position) : QELBParent(size, position) {}

QELBListbox::~QELBListbox() = default;

Ref<QELCListbox> QELCListbox::widgetWithSize(OGLTSize size, OGLTPoint position) {
  return makeRef<QELCListbox>(size, position);
}

// The rows are drawn and hit in one place: the shown area inside the outline, 2 pixels in (on
// the outline's own row a row's first pixels were drawn but the list took no click).
OGLTRect QELBListbox::space() {
  OGLTRect b = bounds();
  return {b.left + 2, b.top + 2, b.left + 2 + width(), b.top + 2 + visibleHeight()};
}

OGLTPoint QELBListbox::spaceToLocal(const OGLTPoint& point) { return QELFScrollSpaceToLocal(space(), offset_, point); }

OGLTPoint QELBListbox::localToSpace(const OGLTPoint& point) { return QELFScrollLocalToSpace(space(), offset_, point); }

float QELBListbox::width() const { return QELFScrollLaneRowWidth(bounds()); }

float QELBListbox::visibleHeight() const {
  OGLTRect b = bounds();
  return (b.bottom - 3) - (b.top + 2);
}

OGLTRect QELBListbox::visibleRect() const {
  OGLTRect rect{};
  QELFListboxComputeVisibleRect(this, &rect);
  return rect;
}

float QELBListbox::scroll() const { return QELFScrollFraction(offset_.y, content_.bottom - content_.top); }

void QELBListbox::setScroll(float fraction) { pendingScroll_.set(fraction); }

void QELBListbox::scrollToVisible(const QELBWidget* child) {
  if (!child || child->parent() != this) return;
  const OGLTRect& f = child->frame();
  OGLTRect shown = visibleRect();
  if (QELFRectsOverlap(f, shown)) return;
  float visible = visibleHeight();
  float y = f.top >= shown.bottom ? f.bottom - visible : f.top;
  offset_.y = QELFScrollClamp(y, content_.bottom - content_.top, visible);
}

void QELBListbox::onAwaken() {
  QELBParent::onAwaken();
  QELFListboxComputeContentRect(this, &content_);
}

bool QELBListbox::onInputWithCursor(const OGLTCursorEvent& cursor) {
  QELBWindow* owner = window();
  bool greedy = owner && owner->greedy() == this;
  if (!QELFWidgetInnerHit(this, cursor.point) && !greedy) return false;
  bool consumed = QELFScrollCursorToChildren(this, cursor, visibleRect());
  forceInputWithCursor(cursor);
  return consumed;
}

bool QELBListbox::onInputWithKeypad(const OGLTKeypadEvent& key) {
  return hasCursorRecord() && QELBParent::onInputWithKeypad(key);
}

bool QELBListbox::onInputWithScroll(const OGLTScrollEvent& scroll) {
  return hasCursorRecord() && QELBParent::onInputWithScroll(scroll);
}

float QELBListbox::rowStep() const {
  // Up and Down move by one row: the visible height over the number of children shrinks below
  // a pixel with many children (and divides by zero with none), so the step is the average
  // row height, at least one pixel.
  uint32_t count = _childs()->count();
  float height = content_.bottom - content_.top;
  return count > 0 ? std::max(1.0f, std::round(height / static_cast<float>(count))) : 1.0f;
}

void QELBListbox::applyQueuedInput() {
  float content = content_.bottom - content_.top, visible = visibleHeight();
  pendingScroll_.apply(content, visible, &offset_.y);
  const QELTInputs& queued = inputs();
  for (uint32_t i = 0; i < queued.count; ++i) {
    const OGLTInputEvent& record = queued.records[i];
    if (record.type == kOGLInputScroll) offset_.y += record.scroll.delta.y * -5 * rowStep();
    if (record.type != kOGLInputKey || record.key.action != kOGLActionPress) continue;
    QELFScrollKeyOffset(record.key.key, offset_.y, rowStep(), visible, content, &offset_.y);
  }
  offset_.y = QELFScrollClamp(offset_.y, content, visible);
  for (uint32_t i = 0; i < queued.count; ++i) {
    if (queued.records[i].type != kOGLInputCursor) continue;
    if (_childs()->count() > 0) QELFScrollLaneDrag(this, queued.records[i].cursor, content, visible, &offset_.y);
    break;  // the frame's cursor record
  }
}

void QELBListbox::onRenderWithStep(float step) {
  QELBWindow* owner = window();
  OGLC2DContext* ctx = owner ? owner->context() : nullptr;
  if (!ctx || !visible()) return;
  applyQueuedInput();
  QELFWidgetRenderScrolled(ctx, childs(), space(), offset_, visibleRect(), step);
  QELFScrollLaneDraw(ctx, this, hasCursorRecord(), offset_.y, content_.bottom - content_.top, visibleHeight());
}

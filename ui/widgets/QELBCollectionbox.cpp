#include "ui/widgets/QELBCollectionbox.h"

#include <algorithm>
#include <cmath>

#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFScrollLane.h"
#include "ui/widgets/QELFWidgetDrawing.h"
#include "ui/widgets/QELFWidgetInput.h"

void QELFCollectionboxComputeContentRect(const QELBCollectionbox* box, OGLTRect* rect) {
  if (!box || !rect) return;
  QELPCollectionboxSource* source = box->source();
  float pitch = box->pitch();
  *rect = {0, 0, box->width(), source && pitch > 0 ? static_cast<float>(source->count()) * pitch : 0};
}

void QELFCollectionboxComputeVisibleRect(const QELBCollectionbox* box, OGLTRect* rect) {
  if (!box || !rect) return;
  OGLTRect b = box->bounds();
  OGLTPoint offset = box->offset();
  *rect = {offset.x, offset.y, offset.x + (b.right - 1 - kQELScrollLaneWidth - 1) - (b.left + 2),
           offset.y + (b.bottom - 3) - (b.top + 2)};
}

bool QELFCollectionboxComputeVisibleRange(const QELBCollectionbox* box, const OGLTRect& visible,
                                          QELTCollectionboxRange* range, uint32_t count) {
  float pitch = box ? box->pitch() : 0;
  if (!range || count == 0 || !(pitch > 0)) return false;
  double last = static_cast<double>(count - 1);
  double first = std::min(std::floor(static_cast<double>(std::max(0.0f, visible.top)) / pitch), last);
  double rows = std::ceil(std::max(0.0f, visible.bottom - visible.top) / pitch);
  range->first = static_cast<uint32_t>(first);
  range->last = static_cast<uint32_t>(std::min(first + rows, last));
  return true;
}

void QELFCollectionboxSyncClear(QELBCollectionbox* box) {
  if (!box) return;
  std::map<uint32_t, Ref<QELBWidget>> rows;
  rows.swap(box->live_);
  for (const auto& [index, widget] : rows) box->recycle(index, widget);
  box->_childs()->sync();
}

void QELFCollectionboxSyncContent(QELBCollectionbox* box) {
  if (!box) return;
  QELTCollectionboxRange range{};
  if (!QELFCollectionboxComputeVisibleRange(box, box->visibleRect(), &range, box->count())) {
    QELFCollectionboxSyncClear(box);
    return;
  }
  std::map<uint32_t, Ref<QELBWidget>>& live = box->live_;
  // Rows that left the view, and rows beyond a count that shrank, go back first, so that the
  // source can hand them out again for the rows coming into view.
  for (auto it = live.begin(); it != live.end();) {
    if (it->first >= range.first && it->first <= range.last) {
      ++it;
      continue;
    }
    Ref<QELBWidget> widget = it->second;
    uint32_t index = it->first;
    it = live.erase(it);
    box->recycle(index, widget);
  }
  float p = box->pitch(), rowWidth = box->width();
  bool fit = box->flags() & kQELCollectionboxFitWidth;
  for (uint32_t index = range.first; index <= range.last && box->source_; ++index) {
    if (live.count(index)) continue;
    Ref<QELBWidget> widget;
    if (!box->source_->requireWidget(widget, index, box->window()) || !widget) continue;
    OGLTSize s = widget->size();
    float y = static_cast<float>(index) * p;
    widget->setFrame({0, y, fit ? rowWidth : s.w, y + s.h});
    if (!box->attach(widget)) continue;  // the source handed out a widget that is still attached
    widget->onAwaken();
    live.emplace(index, widget);
  }
  box->_childs()->sync();
}

QELBCollectionbox::QELBCollectionbox(OGLTSize size, OGLTPoint position) : QELBParent(size, position) {}

QELBCollectionbox::~QELBCollectionbox() = default;

Ref<QELCCollectionbox> QELCCollectionbox::widgetWithSize(OGLTSize size, OGLTPoint position) {
  return makeRef<QELCCollectionbox>(size, position);
}

// The rows are drawn and hit in one place: the shown area inside the outline, 2 pixels in.
OGLTRect QELBCollectionbox::space() {
  OGLTRect b = bounds(), shown = visibleRect();
  return {b.left + 2, b.top + 2, b.left + 2 + (shown.right - shown.left), b.top + 2 + (shown.bottom - shown.top)};
}

OGLTPoint QELBCollectionbox::spaceToLocal(const OGLTPoint& point) {
  return QELFScrollSpaceToLocal(space(), offset_, point);
}

OGLTPoint QELBCollectionbox::localToSpace(const OGLTPoint& point) {
  return QELFScrollLocalToSpace(space(), offset_, point);
}

void QELBCollectionbox::setSource(Ref<QELPCollectionboxSource> source) {
  QELFCollectionboxSyncClear(this);
  source_ = std::move(source);
  QELFCollectionboxComputeContentRect(this, &content_);
  needsSync_ = true;
}

float QELBCollectionbox::width() const { return QELFScrollLaneRowWidth(bounds()); }

OGLTRect QELBCollectionbox::visibleRect() const {
  OGLTRect rect{};
  QELFCollectionboxComputeVisibleRect(this, &rect);
  return rect;
}

float QELBCollectionbox::pitch() const { return source_ ? source_->height() + 1 : 0; }

uint32_t QELBCollectionbox::count() const { return source_ ? source_->count() : 0; }

float QELBCollectionbox::scroll() const { return QELFScrollFraction(offset_.y, content_.bottom - content_.top); }

void QELBCollectionbox::setScroll(float fraction) { pendingScroll_.set(fraction); }

void QELBCollectionbox::clear() {
  QELFCollectionboxSyncClear(this);
  offset_ = {0, 0};
  needsSync_ = true;
}

void QELBCollectionbox::refresh() {
  QELFCollectionboxSyncClear(this);
  needsSync_ = true;
}

void QELBCollectionbox::moveTo(float y) {
  OGLTRect shown = visibleRect();
  offset_.y = QELFScrollClamp(y, content_.bottom - content_.top, shown.bottom - shown.top);
  needsSync_ = true;
}

void QELBCollectionbox::recycle(uint32_t index, const Ref<QELBWidget>& widget) {
  detach(widget);
  if (source_) source_->recycleWidget(widget, index);
}

void QELBCollectionbox::onAttachedIntoWindow() {
  QELBParent::onAttachedIntoWindow();
  needsSync_ = true;
}

void QELBCollectionbox::onAwaken() {
  QELBParent::onAwaken();
  float before = content_.bottom;
  QELFCollectionboxComputeContentRect(this, &content_);
  // A source whose count changed: clamp the offset to the new content and sync the rows.
  if (content_.bottom != before) moveTo(offset_.y);
}

void QELBCollectionbox::onUpdateWithStep(float step) {
  if (needsSync_ || pendingScroll_.pending) {
    OGLTRect shown = visibleRect();
    pendingScroll_.apply(content_.bottom - content_.top, shown.bottom - shown.top, &offset_.y);
    moveTo(offset_.y);
    needsSync_ = false;
    QELFCollectionboxSyncContent(this);
  }
  QELBParent::onUpdateWithStep(step);
}

bool QELBCollectionbox::onInputWithCursor(const OGLTCursorEvent& cursor) {
  QELBWindow* owner = window();
  bool greedy = owner && owner->greedy() == this;
  if (!QELFWidgetInnerHit(this, cursor.point) && !greedy) return false;
  OGLTPoint local = worldToLocal(cursor.point);
  OGLTRect lane = QELFRectInset(QELFScrollLaneRect(bounds()), -2);
  if (cursor.action == kOGLActionNone || (!greedy && !QELFRectContains(lane, local))) {
    bool consumed = QELFScrollCursorToChildren(this, cursor, visibleRect());
    forceInputWithCursor(cursor);
    return consumed;
  }
  OGLTCursorEvent record = cursor;
  record.point = local;
  OGLTRect shown = visibleRect();
  float y = offset_.y;
  QELFScrollLaneDrag(this, record, content_.bottom - content_.top, shown.bottom - shown.top, &y);
  moveTo(y);
  return false;
}

bool QELBCollectionbox::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (!hasCursorRecord()) return false;
  if (key.action != kOGLActionPress) return true;
  OGLTRect shown = visibleRect();
  float visible = shown.bottom - shown.top, content = content_.bottom - content_.top;
  float y = offset_.y;
  if (!QELFScrollKeyOffset(key.key, offset_.y, pitch(), visible, content, &y)) return false;
  moveTo(y);
  return true;
}

bool QELBCollectionbox::onInputWithScroll(const OGLTScrollEvent& scroll) {
  if (!hasCursorRecord()) return false;
  moveTo(offset_.y + pitch() * scroll.delta.y * -5);
  return true;
}

void QELBCollectionbox::onRenderWithStep(float step) {
  QELBWindow* owner = window();
  OGLC2DContext* ctx = owner ? owner->context() : nullptr;
  if (!ctx || !visible()) return;
  OGLTRect shown = visibleRect();
  QELFWidgetRenderScrolled(ctx, childs(), space(), offset_, shown, step);
  QELFScrollLaneDraw(ctx, this, hasCursorRecord(), offset_.y, content_.bottom - content_.top, shown.bottom - shown.top);
}

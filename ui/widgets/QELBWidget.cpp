#include "ui/widgets/QELBWidget.h"

#include <cmath>
#include <cstring>

#include "framework/core/LLKFThreadContract.h"
#include "ui/widgets/QELBParent.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELCWidgets.h"

QELBWidget::QELBWidget(OGLTSize size, OGLTPoint position) {
  float left = std::ceil(position.x), top = std::ceil(position.y);
  frame_ = {left, top, left + size.w, top + size.h};
}

QELBWidget::~QELBWidget() = default;

Ref<QELCWidget> QELCWidget::widgetWithSize(OGLTSize size, OGLTPoint position) {
  return adoptRef(new QELCWidget(size, position));
}

QELBWidget* QELBWidget::findAncestorOfType(const std::type_info& type) const {
  for (QELBWidget* ancestor = parent_; ancestor; ancestor = ancestor->parent())
    if (typeid(*ancestor) == type) return ancestor;
  return nullptr;
}

void QELBWidget::setFontName(const char* name) {
  if (name) fontName_ = name;
}

OGLTSize QELBWidget::preferredSize() {
  QELBWindow* owner = window();
  return owner ? preferredSizeWithWindow(owner) : size();
}

OGLTSize QELBWidget::preferredSizeWithWindow(QELBWindow*) { return size(); }

void QELBWidget::resizeTo(OGLTSize size) {
  setSize(size);
  if (parent_) parent_->resize();
}

void QELBWidget::resizeToPreferred() { resizeTo(preferredSize()); }

void QELBWidget::resizeToPreferredWithWindow(QELBWindow* window) { resizeTo(preferredSizeWithWindow(window)); }

void QELBWidget::resizeWithWindow(QELBWindow* window) { setSize(preferredSizeWithWindow(window)); }

bool QELBWidget::hasCursorRecord() const {
  for (uint32_t i = 0; i < inputs_.count; ++i)
    if (inputs_.records[i].type == kOGLInputCursor) return true;
  return false;
}

QELCWidgets* QELBWidget::owningList() {
  if (parent_) return parent_->_childs();
  QELBWindow* owner = window_.load();
  if (owner && owner->_childs()->contains(this)) return owner->_childs();
  return nullptr;
}

void QELBWidget::setLayer(int8_t layer) {
  if (layer == 0) layer = -1;
  if (layer == layer_) return;
  layer_ = layer;
  // The list buckets by layer: an attached widget is moved to its new bucket, never lost.
  if (QELCWidgets* list = owningList()) list->relayer(this);
  redraw();
}

bool QELBWidget::enabled() const { return enabled_ && (!parent_ || parent_->enabled()); }

bool QELBWidget::showing() const { return visible_ && (!parent_ || parent_->showing()); }

OGLTPoint QELBWidget::localToSpace(const OGLTPoint& point) {
  OGLTRect s = space();
  return {std::round(point.x - s.left), std::round(point.y - s.top)};
}

OGLTPoint QELBWidget::spaceToLocal(const OGLTPoint& point) {
  OGLTRect s = space();
  return {std::round(point.x + s.left), std::round(point.y + s.top)};
}

OGLTPoint QELBWidget::worldToLocal(const OGLTPoint& point) {
  OGLTPoint p = parent_ ? parent_->localToSpace(parent_->worldToLocal(point)) : point;
  return {p.x - frame_.left, p.y - frame_.top};
}

OGLTPoint QELBWidget::worldToSpace(const OGLTPoint& point) {
  OGLTPoint p = worldToLocal(point);
  OGLTRect s = space();
  return {std::round(p.x - s.left), std::round(p.y - s.top)};
}

OGLTPoint QELBWidget::localToWorld(const OGLTPoint& point) {
  OGLTPoint q{point.x + frame_.left, point.y + frame_.top};
  return parent_ ? parent_->localToWorld(parent_->spaceToLocal(q)) : q;
}

void QELBWidget::setSize(OGLTSize size) {
  moveFrame({frame_.left, frame_.top, frame_.left + size.w, frame_.top + size.h});
}

void QELBWidget::setPosition(OGLTPoint position) {
  OGLTSize s = size();
  float left = std::ceil(position.x), top = std::ceil(position.y);
  moveFrame({left, top, left + s.w, top + s.h});
}

void QELBWidget::setFrame(const OGLTRect& frame) {
  float left = std::ceil(frame.left), top = std::ceil(frame.top);
  moveFrame({left, top, left + (frame.right - frame.left), top + (frame.bottom - frame.top)});
}

// Both places are drawn again: the one left and the one taken.
void QELBWidget::moveFrame(const OGLTRect& frame) {
  bool same = frame.left == frame_.left && frame.top == frame_.top && frame.right == frame_.right &&
              frame.bottom == frame_.bottom;
  if (same) return;
  redraw();
  frame_ = frame;
  redraw();
}

void QELBWidget::setFlags(uint32_t flags) { showChange(flags_, flags); }

void QELBWidget::setVisible(bool visible) { showChange(visible_, visible); }

void QELBWidget::setEnabled(bool enabled) { showChange(enabled_, enabled); }

void QELBWidget::setOpacity(float opacity) { showChange(opacity_, opacity); }

void QELBWidget::redraw() {
  QELBWindow* owner = window();
  if (!owner) return;
  LLKF_EXPECT_THREAD(owner->isWidgetThread(), "a widget's redraw: window thread only");
  OGLTPoint corner = localToWorld({0, 0});
  OGLTSize s = size();
  owner->redraw({corner.x, corner.y, corner.x + s.w, corner.y + s.h});
}

OGLTRect QELBWidget::space() { return bounds(); }

QELBWindow* QELBWidget::window() {
  QELBWindow* cached = window_.load();
  if (!cached && parent_) {
    cached = parent_->window();
    window_.store(cached);
  }
  return cached;
}

void QELBWidget::attachIntoParent(QELBParent* parent) {
  parent_ = parent;
  onAttachedIntoParent();
  if (QELBWindow* owner = parent ? parent->window() : nullptr) attachIntoWindow(owner);
}

void QELBWidget::detachFromParent() {
  Ref<QELBWidget> self(this);
  if (window_.load()) detachFromWindow();
  onDetachedFromParent();
  window_.store(nullptr);
  parent_ = nullptr;
}

void QELBWidget::attachIntoWindow(QELBWindow* window) {
  if (window_.load() || !window) return;
  window_.store(window);
  onAttachedIntoWindow();
}

void QELBWidget::detachFromWindow() {
  if (!window_.load()) return;
  Ref<QELBWidget> self(this);
  onDetachedFromWindow();
  window_.store(nullptr);
}

bool QELBWidget::send(const Ref<LLKCMessage>& message) {
  if (!message) return false;
  LLKF_EXPECT_THREAD(!window() || window()->isWidgetThread(), "a widget's messages: window thread only");
  Ref<QELBWidget> self(this);  // the sender lives while its message is handled
  if (parent_) {
    Ref<QELBParent> parent(parent_);
    parent->onMessaged(message);
    return true;
  }
  if (QELBWindow* owner = window()) {
    owner->onMessaged(message);
    return true;
  }
  return false;
}

void QELBWidget::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return;
  if (parent_) {
    Ref<QELBParent> parent(parent_);
    parent->onMessaged(message);
  } else if (QELBWindow* owner = window()) {
    owner->post(message);
  }
}

bool QELBWidget::post(const Ref<LLKCMessage>& message) {
  if (!message) return false;
  QELBWindow* owner = window();
  if (!owner) return false;
  if (!parent_) return owner->post(message);
  Ref<QELBParent> parent(parent_);
  return owner->sched([parent, message] { parent->onMessaged(message); });
}

bool QELBWidget::poke(const Ref<LLKCMessage>& message) {
  QELBWindow* owner = window_.load();
  if (!message || !owner) return false;
  Ref<QELBWidget> self(this);
  return owner->sched([self, message] { self->onMessaged(message); });
}

bool QELBWidget::poke(const Ref<LLKCMessage>& message, uint32_t afterMs) {
  QELBWindow* owner = window_.load();
  if (!message || !owner) return false;
  Ref<QELBWidget> self(this);
  return owner->sched([self, message] { self->onMessaged(message); }, afterMs);
}

bool QELBWidget::queue(const OGLTInputEvent& record) {
  if (inputs_.count >= kQELInputSlots) return false;
  inputs_.records[inputs_.count++] = record;
  return false;
}

static OGLTInputEvent blankRecord(uint32_t type) {
  OGLTInputEvent record;
  std::memset(&record, 0, sizeof record);
  record.type = type;
  return record;
}

bool QELBWidget::forceInputWithCursor(const OGLTCursorEvent& cursor) {
  OGLTInputEvent record = blankRecord(kOGLInputCursor);
  record.cursor = cursor;
  record.cursor.point = worldToLocal(cursor.point);
  return queue(record);
}

void QELBWidget::onAwaken() { inputs_.count = 0; }

bool QELBWidget::onInputWithKeypad(const OGLTKeypadEvent& key) {
  OGLTInputEvent record = blankRecord(kOGLInputKey);
  record.key = key;
  return queue(record);
}

bool QELBWidget::onInputWithSymbol(const OGLTCharacterEvent& symbol) {
  OGLTInputEvent record = blankRecord(kOGLInputCharacter);
  record.character = symbol;
  return queue(record);
}

bool QELBWidget::onInputWithCursor(const OGLTCursorEvent& cursor) { return forceInputWithCursor(cursor); }

bool QELBWidget::onInputWithScroll(const OGLTScrollEvent& scroll) {
  OGLTInputEvent record = blankRecord(kOGLInputScroll);
  record.scroll = scroll;
  return queue(record);
}

bool QELBWidget::onInputWithJoypad(const OGLTJoypadEvent& joypad) {
  OGLTInputEvent record = blankRecord(kOGLInputJoypad);
  record.joypad = joypad;
  return queue(record);
}

Ref<LLKCMessage> QELBWidget::copyWithSender(const Ref<LLKCMessage>& message) {
  Ref<LLKCMessage> copy = message ? message->copy() : nullptr;
  if (copy) (void)copy->details().storeObject(Ref<LLKBObject>(this), "sender");
  return copy;
}

bool QELBWidget::sendCopy(const Ref<LLKCMessage>& message) { return send(copyWithSender(message)); }

void QELBWidget::onUpdateWithStep(float) {
  bool over = hasCursorRecord();
  if (over && !hovered_) {
    hovered_ = true;
    onCursorEnter();
    sendCopy(onEnter_);
  } else if (!over && hovered_) {
    hovered_ = false;
    onCursorLeave();
    sendCopy(onLeave_);
  }
}

// The text box's focus, mouse and drawing; its keys and edits are in QELBTextboxEditing.cpp.
#include "ui/widgets/QELBTextbox.h"

#include <algorithm>
#include <string>

#include "framework/core/LLKCString.h"
#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFGeometry.h"
#include "ui/widgets/QELFTextUTF8.h"

namespace {

// Where the text starts inside the box, and the room it leaves on either side.
constexpr float kTextInset = 3;
constexpr float kLineHeightFactor = 1.1f;
constexpr float kHoldToSelect = 0.15f;  // seconds a press is held before it drags a selection
constexpr float kBlinkHalfPeriod = 0.5f;

}  // namespace

Ref<QELCTextbox> QELCTextbox::widgetWithSize(OGLTSize size, OGLTPoint position, std::string_view value,
                                             uint32_t capacity) {
  return makeRef<QELCTextbox>(size, position, value, capacity);
}

QELBTextbox::QELBTextbox(OGLTSize size, OGLTPoint position, std::string_view value, uint32_t capacity)
    : QELBControl(size, position), text_(QELFUTF8Sanitized(value, capacity)), capacity_(capacity) {}

OGLTSize QELBTextbox::preferredSizeWithWindow(QELBWindow* window, uint32_t capacity) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return {0, 0};
  OGLF2DStatePush(d.ctx);
  QELFControlStandardText(d.ctx, *d.tweaks);
  OGLF2DTextAlignment(d.ctx, kOGLAlignLeft | kOGLAlignTop);
  OGLTSize text = QELFControlTextSize(d.ctx, std::string(capacity, '#').c_str());
  OGLF2DStatePull(d.ctx);
  return QELFControlRoundedSize({text.w + 6, text.h + 9});
}

OGLTSize QELBTextbox::preferredSizeWithWindow(QELBWindow* window) { return preferredSizeWithWindow(window, capacity_); }

void QELBTextbox::setValue(std::string_view value) {
  text_ = QELFUTF8Sanitized(value, capacity_);
  selection_ = {};
  caret_ = static_cast<uint32_t>(text_.size());
  moved_ = true;
  laidOut_ = false;
  redraw();
}

void QELBTextbox::setFocused(bool focused) {
  if (flags() & kQELTextboxSelfFocus) showChange(state_, focused ? 1u : 0u);
}

bool QELBTextbox::holdsSink() {
  QELBWindow* w = window();
  return w && w->sink() == this;
}

void QELBTextbox::onDetachedFromWindow() {
  QELBWindow* w = window();
  if (w && w->sink() == this) w->setSink(nullptr);
  QELBControl::onDetachedFromWindow();
}

void QELBTextbox::onUpdateWithStep(float step) {
  QELBControl::onUpdateWithStep(step);
  if (pressing_) holdTime_ += step;
  blinkTime_ += step;
  if (blinkTime_ > kBlinkHalfPeriod) {
    blinkTime_ = 0;
    blinkPhase_ = !blinkPhase_;
    if (focused() && !readOnly()) redraw();
  }
}

bool QELBTextbox::onInputWithCursor(const OGLTCursorEvent& cursor) {
  if (!queueInsideInner(cursor)) return false;
  if (QELFControlIsClick(cursor) && !readOnly())
    if (QELBWindow* w = window()) w->setSink(Ref<QELBWidget>(this));
  return true;
}

bool QELBTextbox::onInputWithKeypad(const OGLTKeypadEvent& key) {
  bool keyboard = holdsSink() || ((flags() & kQELTextboxSelfFocus) && focused());
  if (!keyboard && !hasCursorRecord()) return false;
  QELBControl::onInputWithKeypad(key);
  // A read-only box under the pointer sees the keys (to move and copy) but keeps none of them:
  // only the box that has the keyboard takes keys, so they go on to scroll what holds it.
  if (readOnly() && !keyboard) return false;
  return key.key < kOGLKeyF1 || key.key > kOGLKeyF25;  // function keys go on to others
}

void QELBTextbox::onCursorEnter() {
  QELBWindow* w = window();
  if (!w) return;
  savedCursor_ = w->cursor();
  w->setCursor(kOGLCursorIBeam);
}

void QELBTextbox::onCursorLeave() {
  if (QELBWindow* w = window()) w->setCursor(savedCursor_);
}

uint32_t QELBTextbox::offsetAt(OGLTPoint local) const {
  QELTTextboxPosition p = QELFTextboxLayoutFindGlyph(&layout_, {local.x - kTextInset, local.y - kTextInset});
  uint32_t offset = static_cast<uint32_t>(text_.size());
  QELFTextboxLayoutFindOffset(&layout_, p, &offset);
  return offset;
}

bool QELBTextbox::takeMouse() {
  const QELTInputs& queued = inputs();
  bool present = false;
  uint32_t caret = caret_;
  // Every cursor record of the frame in order: a quick click brings its press and its release
  // in one frame.
  for (uint32_t i = 0; i < queued.count; ++i) {
    if (queued.records[i].type != kOGLInputCursor) continue;
    present = true;
    takeCursor(queued.records[i].cursor);
  }
  if (caret != caret_) redraw();
  // The keyboard handed to the box by its owner (not by a click on it) starts editing as well.
  if (holdsSink() && !readOnly() && state_ != 1) {
    state_ = 1;
    redraw();
  }
  if (present) return true;
  if ((flags() & kQELTextboxSelfFocus) && focused()) return true;
  if (!holdsSink() && !readOnly()) {
    pressing_ = selecting_ = false;
    holdTime_ = 0;
    state_ = 0;
    return false;
  }
  return true;
}

void QELBTextbox::takeCursor(const OGLTCursorEvent& record) {
  if (QELFControlIsClick(record)) {
    if (selecting_) selection_.to = offsetAt(record.point);
    else selection_ = {};
    caret_ = offsetAt(record.point);
    pressing_ = selecting_ = false;
    if (!readOnly()) state_ = 1;
  } else if (QELFControlIsLeftDown(record) && !pressing_) {
    pressing_ = true;
    holdTime_ = 0;
    selecting_ = false;
  } else if (pressing_ && !selecting_ && holdTime_ > kHoldToSelect) {
    selecting_ = true;
    caret_ = offsetAt(record.point);
    selection_ = {caret_, caret_};
  } else if (selecting_) {
    caret_ = selection_.to = offsetAt(record.point);
  }
}

void QELBTextbox::layOut(OGLC2DContext* ctx) {
  float width = std::max(0.0f, size().w - 2 * kTextInset);
  if (laidOut_ && layout_.width == width) return;
  laidOut_ = QELFTextboxLayoutSetup(&layout_, ctx, text_.c_str(), width, kLineHeightFactor);
  if (moved_ && laidOut_) {
    caret_ = static_cast<uint32_t>(text_.size());
    moved_ = false;
  }
}

void QELBTextbox::replace(OGLC2DContext* ctx, uint32_t at, uint32_t removed, std::string_view bytes) {
  text_.replace(at, removed, bytes);
  float width = std::max(0.0f, size().w - 2 * kTextInset);
  laidOut_ = QELFTextboxLayoutUpdate(&layout_, ctx, text_.c_str(), width, kLineHeightFactor, at, removed,
                                     static_cast<uint32_t>(bytes.size()));
  changed_ = true;
}

void QELBTextbox::send(const Ref<LLKCMessage>& message) {
  if (Ref<LLKCMessage> copy = QELFControlCopy(message)) {
    copy->details().storeObject(LLKCString::stringWithString(text_), "value");
    deliver(copy);
  }
}

void QELBTextbox::drawSelection(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks) {
  if (selection_.empty() || layout_.rows.empty()) return;
  QELTTextboxPosition from = QELFTextboxLayoutFindGlyphForOffset(&layout_, selection_.low());
  QELTTextboxPosition to = QELFTextboxLayoutFindGlyphForOffset(&layout_, selection_.high());
  float bottom = size().h - kTextInset;
  OGLF2DPathBegin(ctx);
  for (int32_t row = std::max(from.row, 0); row <= to.row; ++row) {
    OGLTRect first, last;
    int32_t lastGlyph = static_cast<int32_t>(layout_.rows[static_cast<size_t>(row)].glyphs.size()) - 1;
    QELFTextboxLayoutRectForGlyph(&layout_, {row, row == from.row ? from.glyph : -1}, &first);
    QELFTextboxLayoutRectForGlyph(&layout_, {row, row == to.row ? to.glyph : lastGlyph}, &last);
    if (first.top > bottom) break;
    float left = row == from.row ? first.right : 0;
    float right = (row == to.row ? to.glyph : lastGlyph) >= 0 ? last.right : 0;
    if (right > left) OGLF2DPathRect(ctx, left, first.top, right - left, first.bottom - first.top);
  }
  QELFControlFill(ctx, tweaks.dimColor, std::max(tint(), 0.9f));
}

void QELBTextbox::drawText(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks, bool active) {
  if (text_.empty()) {
    if (!label_.empty())
      QELFControlDrawText(ctx, label_.c_str(), 0, 0, kOGLAlignLeft | kOGLAlignTop, tweaks.frameColor, tint());
    return;
  }
  OGLF2DTextAlignment(ctx, kOGLAlignLeft | kOGLAlignTop);
  OGLF2DPathFillColorWithTint(ctx, active ? &tweaks.brightColor : &tweaks.textColor, tint());
  // Only the rows that reach into the box are drawn: the rest would be clipped away.
  float bottom = size().h - kTextInset;
  for (size_t i = 0; i < layout_.rows.size(); ++i) {
    float top = static_cast<float>(i) * layout_.rowHeight;
    if (top > bottom) break;
    const QELTTextboxRow& row = layout_.rows[i];
    if (row.end > row.start)
      OGLF2DTextDrawWithLength(ctx, text_.c_str() + row.start, static_cast<int>(row.end - row.start), 0, top);
  }
}

void QELBTextbox::drawCaret(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks) {
  OGLTRect r{0, 0, 0, 0};
  QELTTextboxPosition p = QELFTextboxLayoutFindGlyphForOffset(&layout_, caret_);
  if (!QELFTextboxLayoutRectForGlyph(&layout_, p, &r)) {
    float b[4] = {0, 0, 0, 0};
    OGLF2DTextBoundsWithLength(ctx, "#", 1, b, 0, 0);
    r = {0, b[1], 0, b[3]};
  }
  float x = (p.glyph >= 0 ? r.right : r.left) + 0.5f;
  OGLF2DPathBegin(ctx);
  OGLF2DPathMoveTo(ctx, x, r.top + 1);
  OGLF2DPathLineTo(ctx, x, r.bottom + 1);
  OGLF2DPathStrokeWidth(ctx, 1);
  QELFControlStroke(ctx, tweaks.brightColor, tint());
}

void QELBTextbox::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d) return;
  Ref<QELBTextbox> self(this);  // a handler of onCommit or onChange may detach the box
  bool active = takeMouse();
  if (!(flags() & kQELTextboxFrameless)) {
    OGLTRect r = inner();
    OGLF2DPathBegin(d.ctx);
    OGLF2DPathRect(d.ctx, r.left + 0.5f, r.top + 0.5f, r.right - r.left - 1, r.bottom - r.top - 1);
    QELFControlStroke(d.ctx, active ? d.tweaks->brightColor : d.tweaks->textColor, tint());
  }
  OGLF2DStatePush(d.ctx);
  QELFControlStandardText(d.ctx, *d.tweaks);
  OGLF2DTextAlignment(d.ctx, kOGLAlignLeft | kOGLAlignTop);
  OGLF2DTranslate(d.ctx, kTextInset, kTextInset);
  layOut(d.ctx);
  if (focused() || readOnly()) {
    const QELTInputs& queued = inputs();
    for (uint32_t i = 0; i < queued.count; ++i) {
      const OGLTInputEvent& record = queued.records[i];
      if (record.type == kOGLInputKey) takeKey(d.ctx, record.key);
      else if (record.type == kOGLInputCharacter) takeCharacter(d.ctx, record.character.codePoint);
    }
  }
  drawSelection(d.ctx, *d.tweaks);
  drawText(d.ctx, *d.tweaks, active);
  if (focused() && enabled() && blinkPhase_ && !readOnly()) drawCaret(d.ctx, *d.tweaks);
  OGLF2DStatePull(d.ctx);
  if (changed_) {
    changed_ = false;
    redraw();
    send(onChange_);
  }
}

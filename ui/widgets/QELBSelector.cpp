#include "ui/widgets/QELBSelector.h"

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFWidgetInput.h"

namespace {

constexpr float kChangeDelay = 0.1f;  // seconds from a step to its message

}  // namespace

void QELFSelectorNotify(const QELTChoice& choice, QELBSelector* selector) { choice.notify(selector); }

Ref<QELCSelector> QELCSelector::widgetWithSize(OGLTSize size, OGLTPoint position, Ref<LLKBObjectSequence> values,
                                               uint32_t capacity) {
  return makeRef<QELCSelector>(size, position, std::move(values), capacity);
}

QELBSelector::QELBSelector(OGLTSize size, OGLTPoint position, Ref<LLKBObjectSequence> values, uint32_t capacity)
    : QELBChoiceControl(size, position, std::move(values), capacity) {}

void QELBSelector::setSelected(uint32_t index) {
  if (index < choice_.count()) showChange(choice_.selected, index);
}

void QELBSelector::setValue(std::string_view value) {
  uint32_t index = 0;
  if (choice_.find(value, &index)) setSelected(index);
}

void QELBSelector::setValues(Ref<LLKBObjectSequence> values) {
  choice_.values = std::move(values);
  choice_.selected = 0;
  redraw();
}

float QELBSelector::markWidth(const char* mark) {
  QELTControlDrawing d = measuring();
  if (!d) return 0;
  OGLF2DStatePush(d.ctx);
  QELFControlStandardText(d.ctx, *d.tweaks);
  float width = QELFControlTextSize(d.ctx, mark).w;
  OGLF2DStatePull(d.ctx);
  return width;
}

OGLTSize QELBSelector::preferredSizeWithWindow(QELBWindow* window) {
  QELTControlDrawing d = QELFControlDrawingOf(window);
  if (!d) return {0, 0};
  OGLF2DStatePush(d.ctx);
  QELFControlStandardText(d.ctx, *d.tweaks);
  OGLF2DTextAlignment(d.ctx, kOGLAlignLeft | kOGLAlignTop);
  float T[4] = {0, 0, 0, 0};
  OGLF2DTextBounds(d.ctx, choice_.sample(QELFSelectorFindLongestValues(choice_.values.get())).c_str(), T, 0, 0);
  float less = QELFControlTextSize(d.ctx, "<").w;
  OGLF2DStatePull(d.ctx);
  float m = 4 * QELFControlPad(*d.tweaks);
  return QELFControlRoundedSize({(T[2] - T[0]) + m + 6 * less + 2, (T[3] - T[1]) + m + 2});
}

void QELBSelector::step(int direction) {
  uint32_t count = choice_.count();
  if (count == 0) return;
  uint32_t current = choice_.chosen() ? choice_.selected : 0;
  if (direction < 0 && (!choice_.chosen() || current == 0)) return;
  if (direction > 0 && choice_.chosen() && current + 1 >= count) return;
  choice_.selected = !choice_.chosen() ? 0 : (direction < 0 ? current - 1 : current + 1);
  changePending_ = true;
  changeCountdown_ = kChangeDelay;
  redraw();
}

bool QELBSelector::onInputWithCursor(const OGLTCursorEvent& cursor) {
  if (!QELFWidgetInnerHit(this, cursor.point)) return false;
  bool result = QELBControl::onInputWithCursor(cursor);
  if (QELFControlIsClick(cursor)) {
    float zone = 3 * markWidth(">");
    OGLTPoint p = worldToLocal(cursor.point);
    OGLTRect b = bounds();
    if (p.x <= b.left + 1 + zone) step(-1);
    else if (p.x >= b.right - 1 - zone && p.x <= b.right - 1) step(1);
  }
  return result;
}

bool QELBSelector::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (!hovered()) return false;
  if (key.action == kOGLActionPress && key.key == kOGLKeyRight) step(1);
  if (key.action == kOGLActionPress && key.key == kOGLKeyLeft) step(-1);
  return QELBControl::onInputWithKeypad(key);
}

void QELBSelector::onUpdateWithStep(float stepTime) {
  QELBControl::onUpdateWithStep(stepTime);
  if (!changePending_) return;
  changeCountdown_ -= stepTime;
  if (changeCountdown_ > 0) return;
  changePending_ = false;
  redraw();
  Ref<QELBSelector> self(this);  // a handler may detach the selector
  QELFSelectorNotify(choice_, this);
}

void QELBSelector::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d) return;
  const QELTWindowTweaks& t = *d.tweaks;
  const OGLTColor& ink = hovered() || changePending_ ? t.brightColor : t.textColor;
  OGLTRect b = bounds(), r = inner();
  OGLF2DStatePush(d.ctx);
  QELFControlStandardText(d.ctx, t);
  float w = QELFControlTextSize(d.ctx, ">").w, h = QELFControlTextSize(d.ctx, "#").h;
  float y = centreY() - h / 2;
  int align = kOGLAlignLeft | kOGLAlignTop;
  QELFControlDrawText(d.ctx, "<", b.left + 1 + w, y, align, ink, tint());
  QELFControlDrawText(d.ctx, ">", b.right - 1 - 2 * w, y, align, ink, tint());
  float left = b.left + 1 + 3 * w, right = b.right - 1 - 3 * w;
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathMoveTo(d.ctx, left, b.top + 2);
  OGLF2DPathLineTo(d.ctx, left, b.bottom - 2);
  OGLF2DPathMoveTo(d.ctx, right, b.top + 2);
  OGLF2DPathLineTo(d.ctx, right, b.bottom - 2);
  QELFControlStroke(d.ctx, ink, tint());
  if (Ref<LLKCString> text = choice_.value()) {
    float tw = QELFControlTextSize(d.ctx, text->chars()).w;
    QELFControlDrawText(d.ctx, text->chars(), left + (right - left - tw) / 2, y, align, ink, tint());
  }
  OGLF2DStatePull(d.ctx);
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathRoundedRect(d.ctx, r.left, r.top, r.right - r.left, r.bottom - r.top, t.cornerRadius);
  if (changePending_) QELFControlFill(d.ctx, t.hoverColor, tint());
  else QELFControlStroke(d.ctx, ink, tint());
}

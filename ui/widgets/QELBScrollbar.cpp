#include "ui/widgets/QELBScrollbar.h"

#include <algorithm>
#include <cmath>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFGeometry.h"

namespace {

float unit(float value) { return std::isnan(value) ? 0 : std::clamp(value, 0.0f, 1.0f); }

}  // namespace

bool QELFScrollbarNotify(const QELTScrollbarRecord* record, QELBWidget* sender) {
  if (!record || !sender) return false;
  Ref<LLKCMessage> copy = QELFControlCopy(record->onChange);
  if (!copy) return false;
  copy->details().storeReal(record->scroll, "scroll");
  copy->details().storeObject(Ref<LLKBObject>(sender), "sender");
  return sender->send(copy);
}

Ref<QELCScrollbar> QELCScrollbar::widgetWithSize(OGLTSize size, OGLTPoint position) {
  return makeRef<QELCScrollbar>(size, position);
}

void QELBScrollbar::setScroll(float scroll) { showChange(record_.scroll, unit(scroll)); }

void QELBScrollbar::setHandle(float handle) { showChange(record_.handle, unit(handle)); }

OGLTRect QELBScrollbar::handleArea() const { return QELFRectInset(bounds(), 3); }

bool QELBScrollbar::horizontal() const {
  OGLTRect a = handleArea();
  return a.bottom - a.top <= a.right - a.left;
}

OGLTRect QELBScrollbar::handleRect() const {
  OGLTRect a = handleArea();
  bool across = horizontal();
  float s0 = across ? a.left : a.top, s1 = across ? a.right : a.bottom;
  float length = s1 - s0;
  float half = record_.handle * length / 2, centre = s0 + record_.scroll * length;
  float from = centre - half, to = centre + half;
  // A handle that runs past either end is shifted back inside the track.
  if (to > s1) from -= to - s1, to = s1;
  if (from < s0) to += s0 - from, from = s0;
  return across ? OGLTRect{from, a.top, to, a.bottom} : OGLTRect{a.left, from, a.right, to};
}

bool QELBScrollbar::onInputWithCursor(const OGLTCursorEvent& cursor) {
  if (cursor.action == kOGLActionNone) return QELBWidget::onInputWithCursor(cursor);
  QELBWindow* owner = window();
  bool dragging = owner && owner->greedy() == this;
  OGLTPoint p = worldToLocal(cursor.point);
  OGLTRect a = handleArea();
  if (QELFRectContains(a, p) || dragging) {
    float along = horizontal() ? p.x - a.left : p.y - a.top;
    float extent = std::max(a.right - a.left, a.bottom - a.top);
    float t = extent > 0 ? unit(along / extent) : 0;
    float half = record_.handle / 2;
    if (t - half < 0 || std::fabs(t - half) < 0.01f) record_.scroll = half;
    else if (t + half > 1 || std::fabs(t + half - 1) < 0.01f) record_.scroll = 1 - half;
    else record_.scroll = t;
    Ref<QELBScrollbar> self(this);  // the handler may detach the bar
    trigger();
    if (owner && window() == owner) {
      if (cursor.action == kOGLActionPress) owner->setGreedy(Ref<QELBWidget>(this));
      else if (owner->greedy() == this) owner->setGreedy(nullptr);
    }
  }
  return QELBWidget::onInputWithCursor(cursor);
}

bool QELBScrollbar::active() {
  QELBWindow* owner = window();
  if (owner && owner->greedy() == this) return true;
  const OGLTCursorEvent* record = firstCursorRecord();
  return record && QELFRectContains(bounds(), record->point);
}

void QELBScrollbar::onRenderWithStep(float) {
  QELTControlDrawing d = drawing();
  if (!d) return;
  const OGLTColor& colour = active() ? d.tweaks->brightColor : d.tweaks->textColor;
  if (!(flags() & kQELControlPlain)) {
    OGLTRect o = inner();
    OGLF2DPathBegin(d.ctx);
    OGLF2DPathRect(d.ctx, o.left, o.top, o.right - o.left, o.bottom - o.top);
    OGLF2DPathStrokeColorWithTint(d.ctx, &colour, tint());
    OGLF2DPathStroke(d.ctx);
  }
  OGLTRect h = handleRect();
  OGLF2DPathBegin(d.ctx);
  OGLF2DPathRect(d.ctx, h.left, h.top, h.right - h.left, h.bottom - h.top);
  OGLF2DPathFillColorWithTint(d.ctx, &colour, tint());
  OGLF2DPathFill(d.ctx);
}

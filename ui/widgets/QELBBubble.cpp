#include "ui/widgets/QELBBubble.h"

#include <algorithm>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFWidgetDrawing.h"

namespace {
constexpr float kTail = 8;       // how far the tail reaches out of the body
constexpr float kTailBase = 16;  // the length of the tail's base
}  // namespace

QELBBubble::QELBBubble(OGLTSize size, OGLTPoint position) : QELBParent(size, position) {}

QELBBubble::~QELBBubble() = default;

Ref<QELCBubble> QELCBubble::widgetWithSize(OGLTSize size, OGLTPoint position) {
  return makeRef<QELCBubble>(size, position);
}

OGLTSize QELBBubble::preferredSizeWithWindow(QELBWindow* window, const OGLTSize* content, int32_t origin) {
  if (!window || !content) return {0, 0};
  float cw = content->w, ch = content->h;
  OGLTSize size{cw + 8, ch + 8};
  if (origin == kQELBubbleTailTop || origin == kQELBubbleTailBottom) size = {std::max(cw + 8, 24.0f), ch + 16};
  if (origin == kQELBubbleTailLeft || origin == kQELBubbleTailRight) size = {cw + 16, std::max(ch + 8, 24.0f)};
  return {QELFRoundEven(size.w), QELFRoundEven(size.h)};
}

OGLTSize QELBBubble::preferredSizeWithWindow(QELBWindow* window) {
  OGLTRect u = QELFWidgetsFrameUnion(*_childs());
  OGLTSize content{u.right - u.left, u.bottom - u.top};
  return preferredSizeWithWindow(window, &content, origin_);
}

void QELBBubble::setOffset(float offset) { offset_ = std::clamp(offset > 0 ? offset : 0.0f, 0.0f, 1.0f); }

float QELBBubble::offsetForPoint(const OGLTPoint* point) const {
  if (!point) return 0;
  OGLTRect b = bounds();
  float a = 0, z = 0, p = 0;
  if (origin_ == kQELBubbleTailLeft || origin_ == kQELBubbleTailRight) {
    a = b.top + 4 + 16, z = b.bottom - 4 - 16, p = point->y;
  } else if (origin_ == kQELBubbleTailTop || origin_ == kQELBubbleTailBottom) {
    a = b.left + 4 + 16, z = b.right - 4 - 16, p = point->x;
  } else {
    return 0;
  }
  if (p < a) return 0;
  if (p > z || !(z > a)) return 1;
  return (p - a) / (z - a);
}

OGLTRect QELBBubble::tailless(OGLTRect r) const {
  switch (origin_) {
    case kQELBubbleTailTop:
      r.top += kTail;
      break;
    case kQELBubbleTailBottom:
      r.bottom -= kTail;
      break;
    case kQELBubbleTailLeft:
      r.left += kTail;
      break;
    case kQELBubbleTailRight:
      r.right -= kTail;
      break;
    default:
      break;
  }
  return r;
}

OGLTRect QELBBubble::space() { return QELFRectInset(tailless(bounds()), 4); }

void QELBBubble::drawTail(OGLC2DContext* ctx, const OGLTRect& body, const OGLTColor& fill, const OGLTColor& ink,
                          float tint) {
  bool vertical = origin_ == kQELBubbleTailLeft || origin_ == kQELBubbleTailRight;
  if (!vertical && origin_ != kQELBubbleTailTop && origin_ != kQELBubbleTailBottom) return;
  OGLTRect b = bounds();
  float start = vertical ? body.top : body.left, length = vertical ? body.bottom - body.top : body.right - body.left;
  float c = (start + kTailBase) + (length - 2 * kTailBase) * offset_;
  // The base lies 1 inside the body's tail side; the tip on the bounds' edge moved in by 1.
  float base = 0, tip = 0, out = 0;
  switch (origin_) {
    case kQELBubbleTailTop:
      base = body.top + 1, tip = b.top + 1, out = -1;
      break;
    case kQELBubbleTailBottom:
      base = body.bottom - 1, tip = b.bottom - 1, out = 1;
      break;
    case kQELBubbleTailLeft:
      base = body.left + 1, tip = b.left + 1, out = -1;
      break;
    default:
      base = body.right - 1, tip = b.right - 1, out = 1;
      break;
  }
  auto point = [&](float along, float across) {
    return vertical ? OGLTPoint{across, along} : OGLTPoint{along, across};
  };
  OGLTPoint p0 = point(c - kTailBase / 2, base), p1 = point(c, tip), p2 = point(c + kTailBase / 2, base);
  OGLF2DPathBegin(ctx);
  OGLF2DPathMoveTo(ctx, p0.x, p0.y);
  OGLF2DPathLineTo(ctx, p1.x, p1.y);
  OGLF2DPathLineTo(ctx, p2.x, p2.y);
  OGLF2DPathClose(ctx);
  OGLF2DPathFillColor(ctx, &fill);
  OGLF2DPathFill(ctx);
  // The slanted edges, moved 1 pixel outward, stroked like the body's outline.
  OGLTPoint e0 = point(c - kTailBase / 2 - 1, base), e1 = point(c, tip + out), e2 = point(c + kTailBase / 2 + 1, base);
  OGLF2DPathBegin(ctx);
  OGLF2DPathMoveTo(ctx, e0.x, e0.y);
  OGLF2DPathLineTo(ctx, e1.x, e1.y);
  OGLF2DPathLineTo(ctx, e2.x, e2.y);
  OGLF2DPathStrokeColorWithTint(ctx, &ink, tint);
  OGLF2DPathStroke(ctx);
}

void QELBBubble::onRenderWithStep(float step) {
  QELBWindow* owner = window();
  OGLC2DContext* ctx = owner ? owner->context() : nullptr;
  if (!ctx || !visible()) return;
  const QELTWindowTweaks& tweaks = *owner->tweaks();
  OGLTRect body = tailless(QELFRectInset(bounds(), 1));
  OGLTColor fill = tweaks.panelColor;
  fill.a = opacity();
  const OGLTColor& ink = hasCursorRecord() || active_ ? tweaks.hoverColor : tweaks.frameColor;
  float tint = QELFWidgetTint(this);
  OGLF2DPathBegin(ctx);
  OGLF2DPathRoundedRect(ctx, body.left, body.top, body.right - body.left, body.bottom - body.top, 6);
  OGLF2DPathFillColor(ctx, &fill);
  OGLF2DPathFill(ctx);
  OGLF2DPathStrokeWidth(ctx, 1.5f);
  OGLF2DPathStrokeColorWithTint(ctx, &ink, tint);
  OGLF2DPathStroke(ctx);
  drawTail(ctx, body, fill, ink, tint);
  OGLF2DPathStrokeWidth(ctx, 1);
  if (childs().empty()) return;
  // The body inset by 3 is the space: the children at their places, clipped to it.
  OGLTRect view = space();
  OGLTRect shown{0, 0, view.right - view.left, view.bottom - view.top};
  QELFWidgetRenderScrolled(ctx, childs(), view, {0, 0}, shown, step);
}

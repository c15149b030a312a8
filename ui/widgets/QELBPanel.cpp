#include "ui/widgets/QELBPanel.h"

#include <algorithm>

#include "framework/core/NRKFNumerics.h"
#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFWidgetDrawing.h"

namespace {
constexpr uint32_t kEasing = 4;  // cubic in-out
}

void QELFPanelNotify(QELBPanel* panel, const Ref<LLKCMessage>& message) {
  if (panel) panel->sendCopy(message);
}

QELBPanel::QELBPanel(OGLTSize size, OGLTPoint position) : QELBParent(size, position) { setVisible(false); }

QELBPanel::~QELBPanel() = default;

Ref<QELCPanel> QELCPanel::widgetWithSize(OGLTSize size, OGLTPoint position) {
  return makeRef<QELCPanel>(size, position);
}

namespace {
// How far the space lies inside the bounds on every side.
float spaceInset(const QELTWindowTweaks& tweaks) { return 2 * tweaks.cornerRadius + 2; }
}  // namespace

OGLTRect QELBPanel::space() {
  QELBWindow* owner = window();
  return owner ? QELFRectInset(bounds(), spaceInset(*owner->tweaks())) : bounds();
}

// The children's union with the space's inset on both sides, so that they lie whole inside.
OGLTSize QELBPanel::preferredSizeWithWindow(QELBWindow* window) {
  if (!window) return {0, 0};
  OGLTRect u = QELFWidgetsFrameUnion(*_childs());
  float around = 2 * spaceInset(*window->tweaks());
  return {QELFRoundEven(u.right - u.left + around), QELFRoundEven(u.bottom - u.top + around)};
}

bool QELBPanel::places(OGLTPoint* outside, OGLTPoint* shown) {
  QELBParent* above = parent();
  if (!above) return false;
  // Frames are in the parent's space coordinates: its space spans (0, 0) to (width, height).
  OGLTRect s = above->space();
  float sw = s.right - s.left, sh = s.bottom - s.top;
  OGLTSize me = size();
  float cx = (sw - me.w) / 2, cy = (sh - me.h) / 2;
  switch (origin_) {
    case kQELPanelFromBottom:
      *outside = {cx, sh}, *shown = {cx, sh - me.h};
      break;
    case kQELPanelFromLeft:
      *outside = {-me.w, cy}, *shown = {0, cy};
      break;
    case kQELPanelFromRight:
      *outside = {sw, cy}, *shown = {sw - me.w, cy};
      break;
    default:
      *outside = {cx, -me.h}, *shown = {cx, 0};
      break;
  }
  return true;
}

bool QELBPanel::slide(float step, OGLTPoint from, OGLTPoint to) {
  bool done = false;
  float f = NRKFComputeEasingFactor(kEasing, sliding_, &elapsed_, step, &done);
  setPosition({from.x + f * (to.x - from.x), from.y + f * (to.y - from.y)});
  if (done) {
    elapsed_ = 0;
    state_ = kQELPanelIdle;
  }
  return done;
}

void QELBPanel::onUpdateWithStep(float step) {
  QELBParent::onUpdateWithStep(step);
  OGLTPoint outside{}, shown{};
  if (state_ == kQELPanelIdle || !places(&outside, &shown)) return;
  Ref<QELBPanel> self(this);  // a handler of the notice may detach the panel
  switch (state_) {
    case kQELPanelRequested:
      setPosition(outside);
      setVisible(true);
      state_ = kQELPanelSlidingIn;
      break;
    case kQELPanelSlidingIn:
      if (slide(step, outside, shown)) QELFPanelNotify(this, onRequested_);
      break;
    case kQELPanelDismissed:
      state_ = kQELPanelSlidingOut;
      break;
    case kQELPanelSlidingOut:
      if (slide(step, shown, outside)) {
        setVisible(false);
        QELFPanelNotify(this, onDismissed_);
      }
      break;
    default:
      break;
  }
}

void QELBPanel::onRenderWithStep(float step) {
  QELBWindow* owner = window();
  OGLC2DContext* ctx = owner ? owner->context() : nullptr;
  if (!ctx || !visible()) return;
  const QELTWindowTweaks& tweaks = *owner->tweaks();
  OGLTRect body = QELFRectInset(bounds(), 1);
  OGLTColor fill = tweaks.panelColor;
  fill.a = opacity();
  OGLF2DPathBegin(ctx);
  OGLF2DPathRoundedRect(ctx, body.left, body.top, body.right - body.left, body.bottom - body.top, tweaks.cornerRadius);
  OGLF2DPathFillColor(ctx, &fill);
  OGLF2DPathFill(ctx);
  OGLF2DPathStrokeColorWithTint(ctx, hasCursorRecord() ? &tweaks.hoverColor : &tweaks.frameColor, QELFWidgetTint(this));
  OGLF2DPathStroke(ctx);
  if (childs().empty()) return;
  // Clipped to the bounds inset by 2, with the children at their places in the space.
  OGLTRect view = QELFRectInset(bounds(), 2), s = space();
  OGLTPoint shift{view.left - s.left, view.top - s.top};
  OGLTRect shown{shift.x, shift.y, shift.x + view.right - view.left, shift.y + view.bottom - view.top};
  QELFWidgetRenderScrolled(ctx, childs(), view, shift, shown, step);
}

#include "ui/widgets/QELBBoard.h"

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBControl.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFWidgetDrawing.h"
#include "ui/widgets/QELFWidgetInput.h"

namespace {
constexpr float kFlash = 0.1f;  // seconds a clicked board shows its flash
}

QELBBoard::QELBBoard(OGLTSize size, OGLTPoint position, const QELTGroupSetup* setup)
    : QELBGroup(size, position, setup) {}

QELBBoard::~QELBBoard() = default;

Ref<QELCBoard> QELCBoard::widgetWithSize(OGLTSize size, OGLTPoint position, const QELTGroupSetup* setup) {
  return makeRef<QELCBoard>(size, position, setup);
}

namespace {
// Whether the pixel whose top left corner is the point lies in the rect: its left and top edges
// inside, its right and bottom ones outside, so that two boards side by side never share one.
bool holdsPixel(const OGLTRect& rect, const OGLTPoint& point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}
}  // namespace

bool QELBBoard::onInputWithCursor(const OGLTCursorEvent& cursor) {
  // The frame's stroke reaches the board's outermost pixel rows and columns, so the board answers
  // for every pixel of its bounds: a click on any pixel it is drawn on picks it.
  if (!holdsPixel(bounds(), worldToLocal(cursor.point))) return false;
  QELBGroup::onInputWithCursor(cursor);
  if (!QELFControlIsClick(cursor)) return true;
  if (flags() & kQELBoardSelectable) selected_ = true;
  flash_ = 1;
  flashCountdown_ = kFlash;
  sendCopy(onClick_);
  return true;
}

void QELBBoard::onUpdateWithStep(float step) {
  if (flash_ == 1) {
    flashCountdown_ -= step;
    if (flashCountdown_ <= 0) {
      flash_ = 0;
      redraw();
    }
  }
  QELBGroup::onUpdateWithStep(step);
}

void QELBBoard::onRenderWithStep(float step) {
  QELBWindow* owner = window();
  OGLC2DContext* ctx = owner ? owner->context() : nullptr;
  if (!ctx) return;
  const QELTWindowTweaks& tweaks = *owner->tweaks();
  const QELTGroupSetup& s = setup();
  bool framed = (hasCursorRecord() && !(flags() & kQELBoardNoHover)) || flash_ == 1 ||
                ((flags() & kQELBoardSelectable) && selected_);
  OGLTRect content = QELFRectInset(bounds(), s.margin + 1);
  bool rounded = s.flags & kQELGroupRounded;
  if (s.border != 0) {
    if (framed) {
      OGLF2DPathBegin(ctx);
      float w = content.right - content.left, h = content.bottom - content.top;
      if (rounded) OGLF2DPathRoundedRect(ctx, content.left, content.top, w, h, tweaks.cornerRadius);
      else OGLF2DPathRect(ctx, content.left, content.top, w, h);
      if (flash_ == 1) {
        OGLF2DPathFillColorWithTint(ctx, &tweaks.hoverColor, QELFWidgetTint(this));
        OGLF2DPathFill(ctx);
      } else {
        OGLF2DPathStrokeWidth(ctx, s.border);
        OGLF2DPathStrokeColorWithTint(ctx, &tweaks.frameColor, QELFWidgetTint(this));
        OGLF2DPathStroke(ctx);
        OGLF2DPathStrokeWidth(ctx, 1);
      }
    }
    content = QELFRectInset(content, s.border);
  }
  if (rounded) content = QELFRectInset(content, tweaks.cornerRadius / 2);
  if (!childs().empty()) onRenderContentWithStep(step, content);
}

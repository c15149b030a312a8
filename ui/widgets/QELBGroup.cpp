#include "ui/widgets/QELBGroup.h"

#include <algorithm>
#include <cmath>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELFWidgetDrawing.h"

namespace {

// How far the content lies inside the bounds on every side.
float contentInset(const QELTGroupSetup& setup, const QELTWindowTweaks& tweaks) {
  float inset = setup.margin + 1 + setup.border;
  if (setup.flags & kQELGroupRounded) inset += tweaks.cornerRadius / 2;
  return inset;
}

}  // namespace

QELBGroup::QELBGroup(OGLTSize size, OGLTPoint position, const QELTGroupSetup* setup) : QELBParent(size, position) {
  if (setup) setup_ = *setup;
}

QELBGroup::~QELBGroup() = default;

Ref<QELCGroup> QELCGroup::widgetWithSize(OGLTSize size, OGLTPoint position, const QELTGroupSetup* setup) {
  return adoptRef(new QELCGroup(size, position, setup));
}

OGLTRect QELBGroup::space() {
  QELBWindow* owner = window();
  return owner ? QELFRectInset(bounds(), contentInset(setup_, *owner->tweaks())) : bounds();
}

OGLTSize QELBGroup::preferredSizeWithWindow(QELBWindow* window) {
  if (!window) return {0, 0};
  std::vector<Ref<QELBWidget>> order = _childs()->members();
  float width = 0, height = 0;
  if (!order.empty()) {
    const QELTGroupSetup& s = setup_;
    uint32_t count = static_cast<uint32_t>(order.size());
    float gaps = static_cast<float>(count - 1) * s.gap;
    bool uniformCross = s.flags & kQELGroupUniformCross, uniformMain = s.flags & kQELGroupUniformMain;
    // Uniform sizes may start from the space (0x10); without them the children alone count, so
    // that the preferred size does not hold on to the current one.
    QELTGroupSetup children = s;
    children.flags &= ~kQELGroupFillSpace;
    float uniformWidth = QELFGroupFindMaxWidth(&s, this), uniformHeight = QELFGroupFindMaxHeight(&s, this);
    float largestWidth = QELFGroupFindMaxWidth(&children, this);
    float largestHeight = QELFGroupFindMaxHeight(&children, this);
    switch (s.kind) {
      case kQELGroupColumn:
        width = uniformCross ? uniformWidth : largestWidth;
        for (const Ref<QELBWidget>& child : order) height += uniformMain ? uniformHeight : child->size().h;
        height += gaps;
        break;
      case kQELGroupRow:
        height = uniformCross ? uniformHeight : largestHeight;
        for (const Ref<QELBWidget>& child : order) width += uniformMain ? uniformWidth : child->size().w;
        width += gaps;
        break;
      case kQELGroupCentered:
        width = largestWidth;
        height = largestHeight;
        break;
      default: {
        float left = 0, top = 0, right = 0, bottom = 0;
        for (const Ref<QELBWidget>& child : order) {
          const OGLTRect& f = child->frame();
          left = std::min(left, f.left);
          top = std::min(top, f.top);
          right = std::max(right, f.right);
          bottom = std::max(bottom, f.bottom);
        }
        width = right - left;
        height = bottom - top;
        break;
      }
    }
  }
  float grow = 2 * contentInset(setup_, *window->tweaks());
  return {QELFRoundEven(width + grow), QELFRoundEven(height + grow)};
}

void QELBGroup::onAwaken() {
  QELBParent::onAwaken();
  if ((setup_.flags & kQELGroupFitParent) && parent()) {
    OGLTRect s = parent()->space();
    OGLTRect fitted{0, 0, s.right - s.left, s.bottom - s.top};
    const OGLTRect& f = frame();
    if (f.left != fitted.left || f.top != fitted.top || f.right != fitted.right || f.bottom != fitted.bottom) {
      setFrame(fitted);
      dirty_ = true;
    }
  }
  if (!(setup_.flags & kQELGroupOnDemand) || dirty_) {
    QELFGroupLayoutContent(&setup_, this);
    dirty_ = false;
  }
}

void QELBGroup::onRenderWithStep(float step) {
  QELBWindow* owner = window();
  OGLC2DContext* ctx = owner ? owner->context() : nullptr;
  if (!ctx) return;
  const QELTWindowTweaks& tweaks = *owner->tweaks();
  OGLTRect content = QELFRectInset(bounds(), setup_.margin + 1);
  if (setup_.border != 0) {
    OGLF2DPathStrokeWidth(ctx, setup_.border);
    OGLF2DPathBegin(ctx);
    float w = content.right - content.left, h = content.bottom - content.top;
    if (setup_.flags & kQELGroupRounded)
      OGLF2DPathRoundedRect(ctx, content.left, content.top, w, h, tweaks.cornerRadius);
    else OGLF2DPathRect(ctx, content.left, content.top, w, h);
    if (!(setup_.flags & kQELGroupNoBackground)) {
      OGLTColor fill{tweaks.panelColor.r, tweaks.panelColor.g, tweaks.panelColor.b, opacity()};
      OGLF2DPathFillColor(ctx, &fill);
      OGLF2DPathFill(ctx);
    }
    const OGLTColor& stroke = (setup_.flags & kQELGroupHoverBorder) ? tweaks.hoverColor : tweaks.frameColor;
    OGLF2DPathStrokeColorWithTint(ctx, &stroke, QELFWidgetTint(this));
    OGLF2DPathStroke(ctx);
    OGLF2DPathStrokeWidth(ctx, 1);
    content = QELFRectInset(content, setup_.border);
  }
  if (setup_.flags & kQELGroupRounded) content = QELFRectInset(content, tweaks.cornerRadius / 2);
  if (!childs().empty()) onRenderContentWithStep(step, content);
}

void QELBGroup::onRenderContentWithStep(float step, const OGLTRect& content) {
  QELBWindow* owner = window();
  OGLC2DContext* ctx = owner ? owner->context() : nullptr;
  if (!ctx) return;
  OGLF2DClipEnter(ctx, &content, true);
  QELFWidgetRenderChildren(ctx, childs(), step);
  OGLF2DClipLeave(ctx);
}

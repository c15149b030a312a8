#include "ui/widgets/QELFWidgetDrawing.h"

#include "ui/gl/OGLF2D.h"

void QELFWidgetRenderClipped(OGLC2DContext* ctx, QELBWidget* widget, float step) {
  if (!ctx || !widget) return;
  OGLF2DClipEnter(ctx, &widget->frame(), true);
  widget->onRenderWithStep(step);
  OGLF2DClipLeave(ctx);
}

void QELFWidgetRenderChildren(OGLC2DContext* ctx, const std::vector<Ref<QELBWidget>>& childs, float step) {
  // A copy: a drawing hook may detach a sibling.
  std::vector<Ref<QELBWidget>> order = childs;
  for (const Ref<QELBWidget>& child : order)
    if (child->visible()) QELFWidgetRenderClipped(ctx, child.get(), step);
}

void QELFWidgetRenderScrolled(OGLC2DContext* ctx, const std::vector<Ref<QELBWidget>>& childs, const OGLTRect& view,
                              const OGLTPoint& offset, const OGLTRect& shown, float step) {
  if (!ctx) return;
  std::vector<Ref<QELBWidget>> order = childs;
  OGLF2DClipEnter(ctx, &view, true);
  OGLF2DTranslate(ctx, -offset.x, -offset.y);
  for (const Ref<QELBWidget>& child : order)
    if (child->visible() && QELFRectsOverlap(child->frame(), shown)) QELFWidgetRenderClipped(ctx, child.get(), step);
  OGLF2DClipLeave(ctx);
}

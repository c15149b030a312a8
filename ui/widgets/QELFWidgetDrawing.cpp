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

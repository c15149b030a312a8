#pragma once
// Drawing helpers shared by the window and the containers.
#include <vector>

#include "ui/gl/OGLC2DContext.h"
#include "ui/widgets/QELBWidget.h"
#include "ui/widgets/QELFGeometry.h"

// The tint a widget draws its colours with: 1 − opacity when the opacity is below 1, else 0.
inline float QELFWidgetTint(const QELBWidget* widget) { return widget->opacity() < 1 ? 1 - widget->opacity() : 0; }

// Draws the widget in its own coordinates, clipped to its frame (in the current space).
void QELFWidgetRenderClipped(OGLC2DContext* ctx, QELBWidget* widget, float step);

// Draws the visible children in drawing order, each clipped to its frame, in the space
// whose origin is the current one.
void QELFWidgetRenderChildren(OGLC2DContext* ctx, const std::vector<Ref<QELBWidget>>& childs, float step);

// Draws the visible children whose frames overlap `shown` (content coordinates), clipped to
// `view` (local coordinates) and shifted by -offset, each clipped to its frame: the body of
// the scrolling containers.
void QELFWidgetRenderScrolled(OGLC2DContext* ctx, const std::vector<Ref<QELBWidget>>& childs, const OGLTRect& view,
                              const OGLTPoint& offset, const OGLTRect& shown, float step);

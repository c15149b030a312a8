#pragma once
// Drawing helpers shared by the window and the containers.
#include <vector>

#include "ui/gl/OGLC2DContext.h"
#include "ui/widgets/QELBWidget.h"
#include "ui/widgets/QELFGeometry.h"
#include "ui/widgets/QELTWindowTweaks.h"

// Draws the widget in its own coordinates, clipped to its frame (in the current space).
void QELFWidgetRenderClipped(OGLC2DContext* ctx, QELBWidget* widget, float step);

// Draws the visible children in drawing order, each clipped to its frame, in the space
// whose origin is the current one.
void QELFWidgetRenderChildren(OGLC2DContext* ctx, const std::vector<Ref<QELBWidget>>& childs, float step);

// The theme's text setting: text font, spacing and line height, with the alignment given.
void QELFUseTextFont(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks, int alignment);

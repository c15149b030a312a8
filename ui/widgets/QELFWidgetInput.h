#pragma once
// Input helpers shared by the widget classes.
#include "ui/widgets/QELBWidget.h"
#include "ui/widgets/QELFGeometry.h"

// Whether a window point lies inside the widget's bounds shrunk by 1 on every side (limits
// included): where controls, menus and boards take the cursor.
inline bool QELFWidgetInnerHit(QELBWidget* widget, const OGLTPoint& world) {
  return QELFRectContains(QELFRectInset(widget->bounds(), 1), widget->worldToLocal(world));
}

// A release (or a leave of the window): the end of a click.
inline bool QELFCursorActionIsOdd(int32_t action) {
  return action == kOGLActionRelease || action == kOGLActionRepeat || action == kOGLActionLeave;
}

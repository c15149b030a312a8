#pragma once
// The 14-pixel scroll lane at the right of the list and collection boxes: the outline with the
// lane's edge, the thumb, and the drag that moves the offset while the pointer holds the lane.
#include "ui/gl/OGLC2DContext.h"
#include "ui/widgets/QELBWidget.h"

constexpr float kQELScrollLaneWidth = 14;

// The lane inside the outline (the bounds shrunk by 1), in local coordinates.
OGLTRect QELFScrollLaneRect(const OGLTRect& bounds);

// The offset clamped to 0..(content - visible) (0 when the content fits) and rounded.
float QELFScrollClamp(float offset, float content, float visible);

// The outline over the inner rect and the lane's edge, in brightColor when hovered, else
// textColor; then the thumb for the offset (the whole lane when the content fits).
void QELFScrollLaneDraw(OGLC2DContext* ctx, QELBWidget* box, bool hovered, float offset, float content, float visible);

// A drag on the lane: with a cursor record (local point) of non-zero action near the lane (2
// pixels around it) or while the box is greedy, sets offset to the pointer's fraction of the
// lane and makes the box greedy while pressed (lets go otherwise); answers whether it dragged.
bool QELFScrollLaneDrag(QELBWidget* box, const OGLTCursorEvent& local, float content, float visible, float* offset);

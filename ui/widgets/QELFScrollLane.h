#pragma once
// The 14-pixel scroll lane at the right of the list and collection boxes: the outline with the
// lane's edge, the thumb, and the drag that moves the offset while the pointer holds the lane.
#include "ui/gl/OGLC2DContext.h"
#include "ui/widgets/QELBParent.h"

constexpr float kQELScrollLaneWidth = 14;


// The width a box with a lane gives its rows: inside the outline, left of the lane and its edge.
float QELFScrollLaneRowWidth(const OGLTRect& bounds);

// Between a scrolled box's content (space) coordinates and its local ones, for the box's space
// and offset; both round to whole pixels.
OGLTPoint QELFScrollSpaceToLocal(const OGLTRect& space, const OGLTPoint& offset, const OGLTPoint& point);
OGLTPoint QELFScrollLocalToSpace(const OGLTRect& space, const OGLTPoint& offset, const OGLTPoint& point);

// Offers the cursor record to the box's visible, enabled children whose frames overlap the
// shown rect (content coordinates); answers whether one of them consumed it.
bool QELFScrollCursorToChildren(QELBParent* box, const OGLTCursorEvent& cursor, const OGLTRect& shown);

// offset ÷ content (0 without content).
float QELFScrollFraction(float offset, float content);

// Where Down, Up (by step), Page Down, Page Up (by visible), Home and End move the offset;
// false for any other key.
bool QELFScrollKeyOffset(int32_t key, float offset, float step, float visible, float content, float* moved);

// A scroll fraction set by the owner and applied at the box's next frame.
struct QELTScrollRequest {
  float fraction = 0;
  bool pending = false;

  void set(float value) {
    fraction = value;
    pending = true;
  }
  // When pending, moves the offset to fraction × content if the content does not fit; clears it.
  void apply(float content, float visible, float* offset) {
    if (!pending) return;
    if (content > visible) *offset = content * fraction;
    pending = false;
  }
};

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

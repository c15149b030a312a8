#pragma once
// Text measuring shared by the CTM views: the drawing record of one layout or drawing pass, the
// even-snap rule that puts boxes on even pixels, and the two theme fonts (text and label).
// Window's thread only (the 2D context is the window's).
#include <string_view>

#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELTWindowTweaks.h"

// Made on the stack by the caller for one pass.
struct VSKTDrawingContext {
  OGLC2DContext* context;
  const QELTWindowTweaks* theme;
  float scale;     // the view's zoom: multiplies font sizes and gaps
  float gap;       // between sibling boxes, before scaling
  float levelGap;  // between a box and its children, before scaling
};

enum : int {
  kVSKTextFont = 0,
  kVSKLabelFont = 1,
};

// Rounds width and height half away from zero, then moves left and top to the next even whole
// number when they are not one and makes width and height even: the box starts on an even pixel
// and keeps its rounded size up to one pixel.
OGLTRect VSKFEvenSnap(OGLTRect bounds);
// Rounds half away from zero and makes the result even by adding 1 when odd.
float VSKFRoundEven(float value);

// Selects the label font (which non-zero) or the text font, then spacing, line height and the
// alignment left|top.
void VSKFSetFont(const VSKTDrawingContext* r, int which);
// The even-snapped bounds of the string drawn at (0, 0), one pixel added right and below.
OGLTRect VSKFGetBoundsForString(const VSKTDrawingContext* r, int which, std::string_view string);
// The same for the string wrapped to the width limit.
OGLTRect VSKFGetBoundsForStringWithLimit(const VSKTDrawingContext* r, int which, std::string_view string, float limit);

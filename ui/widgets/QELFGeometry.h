#pragma once
// Small geometry helpers shared by the widget classes.
#include <algorithm>
#include <cmath>

#include "ui/gl/OGLTGeometry.h"

// Whether a point lies in a rect, edges inside.
inline bool QELFRectContains(const OGLTRect& rect, const OGLTPoint& point) {
  return point.x >= rect.left && point.x <= rect.right && point.y >= rect.top && point.y <= rect.bottom;
}

// The rect shrunk by d on every side (grown for a negative d).
inline OGLTRect QELFRectInset(const OGLTRect& rect, float d) {
  return {rect.left + d, rect.top + d, rect.right - d, rect.bottom - d};
}

// Rounded to the nearest whole number (halves away from zero), then made even: the sizes that
// containers measure.
inline float QELFRoundEven(float value) {
  float whole = std::round(value);
  return std::fmod(whole, 2.0f) != 0 ? whole + 1 : whole;
}

// The smallest rect holding both.
inline OGLTRect QELFRectUnion(const OGLTRect& a, const OGLTRect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// Whether two rects share some area (touching edges do not count).
inline bool QELFRectsOverlap(const OGLTRect& a, const OGLTRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

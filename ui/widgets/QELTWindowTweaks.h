#pragma once
// The theme of a widget window: the colours, corner radius, padding, fonts, spacing and line
// height every control and view measures and draws with. Each window holds its own copy of
// kWindowTweaks, which applications may change in place.
#include "ui/gl/OGLTGeometry.h"

struct QELTWindowTweaks {
  OGLTColor panelColor;
  OGLTColor frameColor;
  OGLTColor textColor;
  OGLTColor brightColor;
  OGLTColor hoverColor;
  OGLTColor dimColor;
  OGLTColor alertColor;
  float cornerRadius;
  float padding;
  // Faces of the 2D context, not copied.
  float tinyFontSize;
  const char* tinyFontFace;
  float smallFontSize;
  const char* smallFontFace;
  float textFontSize;
  const char* textFontFace;
  float largeFontSize;
  const char* largeFontFace;
  float fontSpacing;
  float lineHeight;
};

extern const QELTWindowTweaks kWindowTweaks;

// Colours the views draw their bars with.
extern const OGLTColor kBlackColor;   // 0, 0, 0, 0.3
extern const OGLTColor kStrokeColor;  // 0, 0, 0, 0.125

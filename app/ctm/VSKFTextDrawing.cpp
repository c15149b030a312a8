#include "app/ctm/VSKFTextDrawing.h"

#include <cmath>
#include <string>

float VSKFRoundEven(float value) {
  float rounded = std::round(value);
  return std::fmod(rounded, 2.0f) != 0 ? rounded + 1 : rounded;
}

OGLTRect VSKFEvenSnap(OGLTRect bounds) {
  float w = std::round(bounds.right - bounds.left);
  float h = std::round(bounds.bottom - bounds.top);
  auto evenWhole = [](float v) { return std::fmod(v, 2.0f) == 0; };
  float left = evenWhole(bounds.left) ? bounds.left : bounds.left + 1;
  float top = evenWhole(bounds.top) ? bounds.top : bounds.top + 1;
  if (!evenWhole(w)) w += 1;
  if (!evenWhole(h)) h += 1;
  return {left, top, left + w, top + h};
}

void VSKFSetFont(const VSKTDrawingContext* r, int which) {
  const QELTWindowTweaks& theme = *r->theme;
  if (which) {
    OGLF2DTextFontFace(r->context, theme.smallFontFace);
    OGLF2DTextFontSize(r->context, theme.smallFontSize * r->scale * 1.1f);
  } else {
    OGLF2DTextFontFace(r->context, theme.textFontFace);
    OGLF2DTextFontSize(r->context, theme.textFontSize * r->scale);
  }
  OGLF2DTextFontSpacing(r->context, theme.fontSpacing);
  OGLF2DTextLineHeight(r->context, theme.lineHeight);
  OGLF2DTextAlignment(r->context, kOGLAlignLeft | kOGLAlignTop);
}

namespace {

OGLTRect snapMeasured(const float measured[4]) {
  return VSKFEvenSnap({measured[0], measured[1], measured[2] + 1, measured[3] + 1});
}

}  // namespace

OGLTRect VSKFGetBoundsForString(const VSKTDrawingContext* r, int which, std::string_view string) {
  VSKFSetFont(r, which);
  float measured[4] = {};
  OGLF2DTextBoundsWithLength(r->context, string.data(), static_cast<int>(string.size()), measured, 0, 0);
  return snapMeasured(measured);
}

OGLTRect VSKFGetBoundsForStringWithLimit(const VSKTDrawingContext* r, int which, std::string_view string, float limit) {
  VSKFSetFont(r, which);
  float measured[4] = {};
  std::string text(string);
  OGLF2DTextBoundsWithWidth(r->context, text.c_str(), measured, 0, 0, limit);
  return snapMeasured(measured);
}

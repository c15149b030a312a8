#pragma once
// The flat 2D drawing interface every widget and view draws through. Callers hold a context
// (a window's, or a headless one made with OGLC2DContext::make) and pass it first.
//
// Meanings follow the classic immediate-mode vector API: paths are built in the transform that
// holds when each point is added, every sub-path is filled solid or as a hole by its winding,
// paints (gradients, texture patterns) are fixed in the transform that holds when they are set,
// and text is laid out on whole pixels with the face's ascender-to-descender height as its size.
// Every function ignores a null context.
#include <cstdint>

#include "ui/gl/OGLTGeometry.h"

struct OGLC2DContext;

// A paint: a rounded box of `extent` (half sizes) and `radius` in the space of `xform`
// ({a, b, c, d, e, f}: x' = a x + c y + e, y' = b x + d y + f), whose colour goes from inner to
// outer over `feather`; or, with `image` above 0, that texture stretched over the box.
struct OGLTPaint {
  float xform[6];
  float extent[2];
  float radius;
  float feather;
  OGLTColor innerColor;
  OGLTColor outerColor;
  int image;
};

// One row of wrapped text: bytes [start, end) shown, next row from `next`; width is the
// advance of the row, minx/maxx the horizontal extent of its glyphs.
struct OGLTTextRow {
  const char* start;
  const char* end;
  const char* next;
  float width;
  float minx, maxx;
};

// One glyph of a run: its first byte, its pen x and its horizontal extent.
struct OGLTGlyphPosition {
  const char* str;
  float x;
  float minx, maxx;
};

enum : int {
  kOGLAlignLeft = 1,
  kOGLAlignCenter = 2,
  kOGLAlignRight = 4,
  kOGLAlignTop = 8,
  kOGLAlignMiddle = 16,
  kOGLAlignBottom = 32,
  kOGLAlignBaseline = 64,
};

enum : int {
  kOGLWindingSolid = 1,  // counter-clockwise
  kOGLWindingHole = 2,   // clockwise
};

extern "C" {

// State, transform and clipping.
void OGLF2DStatePush(OGLC2DContext* ctx);
void OGLF2DStatePull(OGLC2DContext* ctx);
void OGLF2DTranslate(OGLC2DContext* ctx, float x, float y);
void OGLF2DScale(OGLC2DContext* ctx, float sx, float sy);
// Saves the state; when clip, narrows the scissor to the rect; then moves the origin to its
// left-top. Pair every enter with one leave.
void OGLF2DClipEnter(OGLC2DContext* ctx, const OGLTRect* rect, bool clip);
void OGLF2DClipLeave(OGLC2DContext* ctx);
void OGLF2DSetUserData(OGLC2DContext* ctx, void* pointer);
void* OFLG2DGetUserData(OGLC2DContext* ctx);

// Paths.
void OGLF2DPathBegin(OGLC2DContext* ctx);
void OGLF2DPathMoveTo(OGLC2DContext* ctx, float x, float y);
void OGLF2DPathLineTo(OGLC2DContext* ctx, float x, float y);
void OGLF2DPathClose(OGLC2DContext* ctx);
void OGLF2DPathWinding(OGLC2DContext* ctx, int dir);
void OGLF2DPathRect(OGLC2DContext* ctx, float x, float y, float w, float h);
void OGLF2DPathRoundedRect(OGLC2DContext* ctx, float x, float y, float w, float h, float radius);
void OGLF2DPathCircle(OGLC2DContext* ctx, float cx, float cy, float r);
void OGLF2DPathEllipse(OGLC2DContext* ctx, float cx, float cy, float rx, float ry);
void OGLF2DPathArc(OGLC2DContext* ctx, float cx, float cy, float r, float a0, float a1, int dir);
// count points as x, y pairs; fewer than 2 add nothing.
void OGLF2DPathPolyline(OGLC2DContext* ctx, const float* pairs, int count, bool closed);

// Painting.
void OGLF2DPathFillColor(OGLC2DContext* ctx, const OGLTColor* color);
void OGLF2DPathStrokeColor(OGLC2DContext* ctx, const OGLTColor* color);
void OGLF2DPathFillColorWithTint(OGLC2DContext* ctx, const OGLTColor* color, float tint);
void OGLF2DPathStrokeColorWithTint(OGLC2DContext* ctx, const OGLTColor* color, float tint);
void OGLF2DPathStrokeWidth(OGLC2DContext* ctx, float width);
void OGLF2DPathFillPaint(OGLC2DContext* ctx, const OGLTPaint* paint);
void OGLF2DPathStrokePaint(OGLC2DContext* ctx, const OGLTPaint* paint);
void OGLF2DPathFill(OGLC2DContext* ctx);
void OGLF2DPathStroke(OGLC2DContext* ctx);
void OGLF2DMakeLinearGradient(OGLC2DContext* ctx, OGLTPaint* paint, const OGLTColor* inner, const OGLTColor* outer,
                              float sx, float sy, float ex, float ey);
void OGLF2DMakeLinearGradientWithTint(OGLC2DContext* ctx, OGLTPaint* paint, const OGLTColor* inner,
                                      const OGLTColor* outer, float sx, float sy, float ex, float ey, float tint);
void OGLF2DMakeBoxGradient(OGLC2DContext* ctx, OGLTPaint* paint, const OGLTColor* inner, const OGLTColor* outer,
                           float x, float y, float w, float h, float radius, float feather);
void OGLF2DMakeTexturePattern(OGLC2DContext* ctx, OGLTPaint* paint, int texture, float ox, float oy, float ex, float ey,
                              float angle, float alpha);
void OGLF2DDrawCross(OGLC2DContext* ctx, const OGLTPoint* point, const OGLTColor* color, float h);

// Text.
void OGLF2DTextFontFace(OGLC2DContext* ctx, const char* name);
void OGLF2DTextFontSize(OGLC2DContext* ctx, float size);
void OGLF2DTextFontBlur(OGLC2DContext* ctx, float blur);
void OGLF2DTextFontSpacing(OGLC2DContext* ctx, float spacing);
void OGLF2DTextLineHeight(OGLC2DContext* ctx, float factor);
void OGLF2DTextAlignment(OGLC2DContext* ctx, int flags);
float OGLF2DTextDraw(OGLC2DContext* ctx, const char* text, float x, float y);
// At most length bytes, never past the terminating zero.
float OGLF2DTextDrawWithLength(OGLC2DContext* ctx, const char* text, int length, float x, float y);
float OGLF2DTextDrawWithWidth(OGLC2DContext* ctx, const char* text, float x, float y, float width);
float OGLF2DTextBounds(OGLC2DContext* ctx, const char* text, float bounds[4], float x, float y);
float OGLF2DTextBoundsWithLength(OGLC2DContext* ctx, const char* text, int length, float bounds[4], float x, float y);
float OGLF2DTextBoundsWithWidth(OGLC2DContext* ctx, const char* text, float bounds[4], float x, float y, float width);
// With rows null, counts every row without storing any (max is then not used).
int OGLF2DTextBreaksWithWidth(OGLC2DContext* ctx, const char* text, OGLTTextRow* rows, int max, float width);
int OGLF2DTextGlyphPositions(OGLC2DContext* ctx, const char* text, OGLTGlyphPosition* positions, int max, float x,
                             float y);
int OGLF2DTextGlyphPositionsWithLength(OGLC2DContext* ctx, const char* text, int length, OGLTGlyphPosition* positions,
                                       int max, float x, float y);

// Fonts and textures. Ids are -1 for none.
int OGLF2DFontMake(OGLC2DContext* ctx, const char* name, unsigned char* bytes, int size, int freeData);
int OGLF2DFontLoad(OGLC2DContext* ctx, const char* name, const char* path);
int OGLF2DFontFind(OGLC2DContext* ctx, const char* name);
// RGBA bytes, rows top to bottom, straight alpha. -1 for a size that is not positive or too
// large, or for null bytes.
int OGLF2DTextureMake(OGLC2DContext* ctx, int w, int h, const unsigned char* bytes);
void OGLF2DTextureSync(OGLC2DContext* ctx, int id, const unsigned char* bytes);
void OGLF2DTextureFree(OGLC2DContext* ctx, int id);

}  // extern "C"

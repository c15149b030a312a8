// The C entry points of the 2D drawing interface, over OGLC2DContext.
#include "ui/gl/OGLF2D.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "ui/gl/OGLC2DContext.h"

namespace {

OGLTColor tinted(const OGLTColor& color, float tint) {
  if (tint == 0) return color;
  auto towardsWhite = [tint](float c) { return c + tint * (1 - c); };
  return {towardsWhite(color.r), towardsWhite(color.g), towardsWhite(color.b), color.a};
}

OGLTPaint solid(const OGLTColor& color) {
  OGLTPaint paint{};
  paint.xform[0] = paint.xform[3] = 1;
  paint.feather = 1;
  paint.innerColor = paint.outerColor = color;
  return paint;
}

// Bytes of text to use: at most length, never past the terminating zero.
const char* boundedEnd(const char* text, int length) {
  if (length <= 0) return text;
  return text + strnlen(text, static_cast<size_t>(length));
}

}  // namespace

extern "C" {

void OGLF2DStatePush(OGLC2DContext* ctx) {
  if (ctx) ctx->save();
}

void OGLF2DStatePull(OGLC2DContext* ctx) {
  if (ctx) ctx->restore();
}

void OGLF2DTranslate(OGLC2DContext* ctx, float x, float y) {
  if (ctx) ctx->translate(x, y);
}

void OGLF2DScale(OGLC2DContext* ctx, float sx, float sy) {
  if (ctx) ctx->scale(sx, sy);
}

void OGLF2DClipEnter(OGLC2DContext* ctx, const OGLTRect* rect, bool clip) {
  if (!ctx || !rect) return;
  ctx->save();
  if (clip) ctx->intersectScissor(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
  ctx->translate(rect->left, rect->top);
}

void OGLF2DClipLeave(OGLC2DContext* ctx) {
  if (ctx) ctx->restore();
}

void OGLF2DSetUserData(OGLC2DContext* ctx, void* pointer) {
  if (ctx) ctx->setUserData(pointer);
}

void* OFLG2DGetUserData(OGLC2DContext* ctx) { return ctx ? ctx->userData() : nullptr; }

void OGLF2DPathBegin(OGLC2DContext* ctx) {
  if (ctx) ctx->beginPath();
}

void OGLF2DPathMoveTo(OGLC2DContext* ctx, float x, float y) {
  if (ctx) ctx->moveTo(x, y);
}

void OGLF2DPathLineTo(OGLC2DContext* ctx, float x, float y) {
  if (ctx) ctx->lineTo(x, y);
}

void OGLF2DPathClose(OGLC2DContext* ctx) {
  if (ctx) ctx->closePath();
}

void OGLF2DPathWinding(OGLC2DContext* ctx, int dir) {
  if (ctx) ctx->pathWinding(dir);
}

void OGLF2DPathRect(OGLC2DContext* ctx, float x, float y, float w, float h) {
  if (ctx) ctx->rect(x, y, w, h);
}

void OGLF2DPathRoundedRect(OGLC2DContext* ctx, float x, float y, float w, float h, float radius) {
  if (ctx) ctx->roundedRect(x, y, w, h, radius);
}

void OGLF2DPathCircle(OGLC2DContext* ctx, float cx, float cy, float r) {
  if (ctx) ctx->ellipse(cx, cy, r, r);
}

void OGLF2DPathEllipse(OGLC2DContext* ctx, float cx, float cy, float rx, float ry) {
  if (ctx) ctx->ellipse(cx, cy, rx, ry);
}

void OGLF2DPathArc(OGLC2DContext* ctx, float cx, float cy, float r, float a0, float a1, int dir) {
  if (ctx) ctx->arc(cx, cy, r, a0, a1, dir);
}

void OGLF2DPathPolyline(OGLC2DContext* ctx, const float* pairs, int count, bool closed) {
  if (!ctx || !pairs || count < 2) return;
  ctx->moveTo(pairs[0], pairs[1]);
  for (int i = 1; i < count; ++i) ctx->lineTo(pairs[2 * i], pairs[2 * i + 1]);
  if (closed) ctx->lineTo(pairs[0], pairs[1]);
}

void OGLF2DPathFillColor(OGLC2DContext* ctx, const OGLTColor* color) {
  if (ctx && color) ctx->setFillPaint(solid(*color));
}

void OGLF2DPathStrokeColor(OGLC2DContext* ctx, const OGLTColor* color) {
  if (ctx && color) ctx->setStrokePaint(solid(*color));
}

void OGLF2DPathFillColorWithTint(OGLC2DContext* ctx, const OGLTColor* color, float tint) {
  if (ctx && color) ctx->setFillPaint(solid(tinted(*color, tint)));
}

void OGLF2DPathStrokeColorWithTint(OGLC2DContext* ctx, const OGLTColor* color, float tint) {
  if (ctx && color) ctx->setStrokePaint(solid(tinted(*color, tint)));
}

void OGLF2DPathStrokeWidth(OGLC2DContext* ctx, float width) {
  if (ctx) ctx->setStrokeWidth(width);
}

void OGLF2DPathFillPaint(OGLC2DContext* ctx, const OGLTPaint* paint) {
  if (ctx && paint) ctx->setFillPaint(*paint);
}

void OGLF2DPathStrokePaint(OGLC2DContext* ctx, const OGLTPaint* paint) {
  if (ctx && paint) ctx->setStrokePaint(*paint);
}

void OGLF2DPathFill(OGLC2DContext* ctx) {
  if (ctx) ctx->fill();
}

void OGLF2DPathStroke(OGLC2DContext* ctx) {
  if (ctx) ctx->stroke();
}

void OGLF2DMakeLinearGradient(OGLC2DContext* ctx, OGLTPaint* paint, const OGLTColor* inner, const OGLTColor* outer,
                              float sx, float sy, float ex, float ey) {
  OGLF2DMakeLinearGradientWithTint(ctx, paint, inner, outer, sx, sy, ex, ey, 0);
}

// A box so long (reach) that only its edge across the gradient's direction shows.
void OGLF2DMakeLinearGradientWithTint(OGLC2DContext* ctx, OGLTPaint* paint, const OGLTColor* inner,
                                      const OGLTColor* outer, float sx, float sy, float ex, float ey, float tint) {
  if (!paint || !inner || !outer) return;
  constexpr float reach = 1e5f;
  float dx = ex - sx, dy = ey - sy;
  float d = std::sqrt(dx * dx + dy * dy);
  if (d > 0.0001f) {
    dx /= d;
    dy /= d;
  } else {
    dx = 0;
    dy = 1;
  }
  *paint = OGLTPaint{};
  float xform[6] = {dy, -dx, dx, dy, sx - dx * reach, sy - dy * reach};
  std::memcpy(paint->xform, xform, sizeof xform);
  paint->extent[0] = reach;
  paint->extent[1] = reach + d * 0.5f;
  paint->radius = 0;
  paint->feather = std::max(1.0f, d);
  paint->innerColor = tinted(*inner, tint);
  paint->outerColor = tinted(*outer, tint);
}

void OGLF2DMakeBoxGradient(OGLC2DContext* ctx, OGLTPaint* paint, const OGLTColor* inner, const OGLTColor* outer,
                           float x, float y, float w, float h, float radius, float feather) {
  if (!paint || !inner || !outer) return;
  *paint = OGLTPaint{};
  float xform[6] = {1, 0, 0, 1, x + w * 0.5f, y + h * 0.5f};
  std::memcpy(paint->xform, xform, sizeof xform);
  paint->extent[0] = w * 0.5f;
  paint->extent[1] = h * 0.5f;
  paint->radius = radius;
  paint->feather = std::max(1.0f, feather);
  paint->innerColor = *inner;
  paint->outerColor = *outer;
}

void OGLF2DMakeTexturePattern(OGLC2DContext* ctx, OGLTPaint* paint, int texture, float ox, float oy, float ex, float ey,
                              float angle, float alpha) {
  if (!paint) return;
  *paint = OGLTPaint{};
  float cs = std::cos(angle), sn = std::sin(angle);
  float xform[6] = {cs, sn, -sn, cs, ox, oy};
  std::memcpy(paint->xform, xform, sizeof xform);
  paint->extent[0] = ex;
  paint->extent[1] = ey;
  paint->image = texture;
  paint->innerColor = paint->outerColor = {1, 1, 1, alpha};
}

void OGLF2DDrawCross(OGLC2DContext* ctx, const OGLTPoint* point, const OGLTColor* color, float h) {
  if (!ctx || !point || !color) return;
  ctx->beginPath();
  ctx->moveTo(point->x, point->y - h);
  ctx->lineTo(point->x, point->y + h);
  ctx->moveTo(point->x - h, point->y);
  ctx->lineTo(point->x + h, point->y);
  ctx->setStrokePaint(solid(*color));
  ctx->setStrokeWidth(1);
  ctx->stroke();
}

void OGLF2DTextFontFace(OGLC2DContext* ctx, const char* name) {
  if (ctx && name) ctx->setFont(ctx->fonts().findFace(name));
}

void OGLF2DTextFontSize(OGLC2DContext* ctx, float size) {
  if (ctx) ctx->setFontSize(size);
}

void OGLF2DTextFontBlur(OGLC2DContext* ctx, float blur) {
  if (ctx) ctx->setFontBlur(blur);
}

void OGLF2DTextFontSpacing(OGLC2DContext* ctx, float spacing) {
  if (ctx) ctx->setLetterSpacing(spacing);
}

void OGLF2DTextLineHeight(OGLC2DContext* ctx, float factor) {
  if (ctx) ctx->setLineHeight(factor);
}

void OGLF2DTextAlignment(OGLC2DContext* ctx, int flags) {
  if (ctx) ctx->setTextAlign(flags);
}

float OGLF2DTextDraw(OGLC2DContext* ctx, const char* text, float x, float y) {
  return ctx && text ? ctx->text(x, y, text, nullptr) : x;
}

float OGLF2DTextDrawWithLength(OGLC2DContext* ctx, const char* text, int length, float x, float y) {
  return ctx && text ? ctx->text(x, y, text, boundedEnd(text, length)) : x;
}

float OGLF2DTextDrawWithWidth(OGLC2DContext* ctx, const char* text, float x, float y, float width) {
  if (ctx && text) ctx->textBox(x, y, width, text, nullptr);
  return width;
}

float OGLF2DTextBounds(OGLC2DContext* ctx, const char* text, float bounds[4], float x, float y) {
  return ctx && text ? ctx->textBounds(x, y, text, nullptr, bounds) : 0;
}

float OGLF2DTextBoundsWithLength(OGLC2DContext* ctx, const char* text, int length, float bounds[4], float x, float y) {
  return ctx && text ? ctx->textBounds(x, y, text, boundedEnd(text, length), bounds) : 0;
}

float OGLF2DTextBoundsWithWidth(OGLC2DContext* ctx, const char* text, float bounds[4], float x, float y, float width) {
  if (ctx && text) ctx->textBoxBounds(x, y, width, text, nullptr, bounds);
  return width;
}

int OGLF2DTextBreaksWithWidth(OGLC2DContext* ctx, const char* text, OGLTTextRow* rows, int max, float width) {
  return ctx && text ? ctx->textBreakLines(text, nullptr, width, rows, max) : 0;
}

int OGLF2DTextGlyphPositions(OGLC2DContext* ctx, const char* text, OGLTGlyphPosition* positions, int max, float x,
                             float y) {
  return ctx && text ? ctx->textGlyphPositions(x, y, text, nullptr, positions, max) : 0;
}

int OGLF2DTextGlyphPositionsWithLength(OGLC2DContext* ctx, const char* text, int length, OGLTGlyphPosition* positions,
                                       int max, float x, float y) {
  return ctx && text ? ctx->textGlyphPositions(x, y, text, boundedEnd(text, length), positions, max) : 0;
}

int OGLF2DFontMake(OGLC2DContext* ctx, const char* name, unsigned char* bytes, int size, int freeData) {
  if (!ctx || size <= 0) {
    if (freeData) std::free(bytes);
    return -1;
  }
  return ctx->fonts().addFace(name, bytes, static_cast<size_t>(size), freeData != 0);
}

int OGLF2DFontLoad(OGLC2DContext* ctx, const char* name, const char* path) {
  return ctx ? ctx->fonts().addFaceFromFile(name, path) : -1;
}

int OGLF2DFontFind(OGLC2DContext* ctx, const char* name) { return ctx ? ctx->fonts().findFace(name) : -1; }

int OGLF2DTextureMake(OGLC2DContext* ctx, int w, int h, const unsigned char* bytes) {
  if (!ctx) return -1;
  int id = ctx->makeTexture(w, h, bytes);
  return id > 0 ? id : -1;
}

void OGLF2DTextureSync(OGLC2DContext* ctx, int id, const unsigned char* bytes) {
  if (ctx && id > 0) ctx->syncTexture(id, bytes);
}

void OGLF2DTextureFree(OGLC2DContext* ctx, int id) {
  if (ctx && id > 0) ctx->freeTexture(id);
}

}  // extern "C"

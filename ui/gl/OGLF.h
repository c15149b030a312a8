#pragma once
// Utilities of the GL layer: frame timer, UTF-8, key and modifier names, clipboard, key state,
// point mapping and the point-in-polygon test.
#include <cstdint>

#include "ui/gl/OGLTGeometry.h"

struct OGLC2DContext;

struct OGLTTimer {
  float total;
  bool hold;
};

extern "C" {

void OGLFTimerInit(OGLTTimer* timer);
void OGLFTimerHold(OGLTTimer* timer, bool hold);
// Adds dt; true (and back to 0) on the tick whose end is nearest to the period.
bool OGLFTimerTick(OGLTTimer* timer, float dt, float period);

// Writes the code point's UTF-8 form and a terminating zero into out (room for 7 bytes).
// A code point that Unicode cannot hold (negative or above U+10FFFF) is written as U+FFFD.
char* OGLFCodePointToUTF8(int codePoint, char out[7]);

// 2 when the context's window reports the key pressed, 3 repeated, else 1.
int OGLFGetKeyAction(OGLC2DContext* ctx, int key);
// The system clipboard through the context's window; null without one or without text.
const char* OGLFGetClipboard(OGLC2DContext* ctx);
void OGLFSetClipboard(OGLC2DContext* ctx, const char* text);

// The point mapped through the inverse of the context's current transform.
OGLTPoint OGLFPointGlobal2Local(OGLC2DContext* ctx, const OGLTPoint* point);
// The face of that name when the context has one, else loaded from the file; -1 on failure.
int OGLFLoadFontFromFile(OGLC2DContext* ctx, const char* name, const char* path);

const char* OGLFKeyToString(int key);
const char* OGLFModToString(int bit);

// 1 inside, 0 outside, -1 on the boundary (within 0.1).
int _OGLFPolygonTestPoint(const float* pairs, uint32_t count, const OGLTPoint* point);
bool OGLFPolygonTestPoint(const float* pairs, uint32_t count, const OGLTPoint* point);

}  // extern "C"

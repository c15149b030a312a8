// The GL layer's utilities that need no window: frame timer, UTF-8, key and modifier names,
// point mapping, font loading and the point-in-polygon test.
#include <cmath>
#include <cstdio>
#include <utility>

#include "framework/core/NRKFPolygonTestPoint.h"
#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLF.h"
#include "ui/gl/OGLTInput.h"
#include "ui/gl/OGLXform.h"

extern "C" {

void OGLFTimerInit(OGLTTimer* timer) {
  if (!timer) return;
  timer->total = 0;
  timer->hold = false;
}

void OGLFTimerHold(OGLTTimer* timer, bool hold) {
  if (timer) timer->hold = hold;
}

bool OGLFTimerTick(OGLTTimer* timer, float dt, float period) {
  if (!timer || timer->hold) return false;
  timer->total += dt;
  if (dt > std::fabs(period - timer->total)) {
    timer->total = 0;
    return true;
  }
  return false;
}

char* OGLFCodePointToUTF8(int codePoint, char out[7]) {
  if (!out) return out;
  // Only scalar values have a UTF-8 form; anything else shows as the replacement character.
  if (codePoint < 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) codePoint = 0xFFFD;
  auto cp = static_cast<unsigned>(codePoint);
  int length;
  unsigned lead;
  if (cp <= 0x7F) {
    out[0] = static_cast<char>(cp);
    out[1] = 0;
    return out;
  } else if (cp <= 0x7FF) {
    length = 2, lead = 0xC0;
  } else if (cp <= 0xFFFF) {
    length = 3, lead = 0xE0;
  } else {
    length = 4, lead = 0xF0;
  }
  for (int i = length - 1; i > 0; --i) {
    out[i] = static_cast<char>(0x80 | (cp & 0x3F));
    cp >>= 6;
  }
  out[0] = static_cast<char>(lead | cp);
  out[length] = 0;
  return out;
}

OGLTPoint OGLFPointGlobal2Local(OGLC2DContext* ctx, const OGLTPoint* point) {
  if (!point) return {0, 0};
  if (!ctx) return *point;
  OGLTXform inverse;
  OGLFXformInverse(ctx->transform(), inverse);
  OGLTPoint local;
  OGLFXformPoint(inverse, point->x, point->y, local.x, local.y);
  return local;
}

int OGLFLoadFontFromFile(OGLC2DContext* ctx, const char* name, const char* path) {
  if (!ctx || !name) return -1;
  int found = ctx->fonts().findFace(name);
  return found >= 0 ? found : ctx->fonts().addFaceFromFile(name, path);
}

const char* OGLFKeyToString(int key) {
  static const char* const printable[] = {
      "'", nullptr, nullptr, nullptr, nullptr, ",", "-",     ".", "/",     "0",     "1",     "2",     "3", "4", "5",
      "6", "7",     "8",     "9",     nullptr, ";", nullptr, "=", nullptr, nullptr, nullptr, "A",     "B", "C", "D",
      "E", "F",     "G",     "H",     "I",     "J", "K",     "L", "M",     "N",     "O",     "P",     "Q", "R", "S",
      "T", "U",     "V",     "W",     "X",     "Y", "Z",     "[", "\\",    "]",     nullptr, nullptr, "`"};
  static const char* const navigation[] = {"ESCAPE", "ENTER", "TAB", "BACKSPACE", "INSERT",    "DELETE", "RIGHT",
                                           "LEFT",   "DOWN",  "UP",  "PAGE_UP",   "PAGE_DOWN", "HOME",   "END"};
  static const char* const locks[] = {"CAPS_LOCK", "SCROLL_LOCK", "NUM_LOCK", "PRINT_SCREEN", "PAUSE"};
  static const char* const functions[] = {"F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",  "F9",
                                          "F10", "F11", "F12", "F13", "F14", "F15", "F16", "F17", "F18",
                                          "F19", "F20", "F21", "F22", "F23", "F24", "F25"};
  static const char* const keypad[] = {"KP_0",        "KP_1",        "KP_2",   "KP_3",     "KP_4",       "KP_5",
                                       "KP_6",        "KP_7",        "KP_8",   "KP_9",     "KP_DECIMAL", "KP_DIVIDE",
                                       "KP_MULTIPLY", "KP_SUBTRACT", "KP_ADD", "KP_ENTER", "KP_EQUAL"};
  static const char* const modifiers[] = {"LEFT_SHIFT",    "LEFT_CONTROL", "LEFT_ALT",    "LEFT_SUPER", "RIGHT_SHIFT",
                                          "RIGHT_CONTROL", "RIGHT_ALT",    "RIGHT_SUPER", "MENU"};
  auto from = [key](const char* const* table, int first, int count) -> const char* {
    return key >= first && key < first + count ? table[key - first] : nullptr;
  };
  if (key == kOGLKeySpace) return "Space";
  if (key >= 39 && key <= 96) return from(printable, 39, 58);
  if (key >= kOGLKeyEscape && key <= kOGLKeyEnd) return from(navigation, kOGLKeyEscape, 14);
  if (key >= kOGLKeyCapsLock && key <= kOGLKeyCapsLock + 4) return from(locks, kOGLKeyCapsLock, 5);
  if (key >= kOGLKeyF1 && key <= kOGLKeyF25) return from(functions, kOGLKeyF1, 25);
  if (key >= kOGLKeyKeypad0 && key <= kOGLKeyKeypad0 + 16) return from(keypad, kOGLKeyKeypad0, 17);
  if (key >= kOGLKeyLeftShift && key <= kOGLKeyMenu) return from(modifiers, kOGLKeyLeftShift, 9);
  return nullptr;
}

const char* OGLFModToString(int bit) {
  switch (bit) {
    case kOGLModShift:
      return "Shift";
    case kOGLModControl:
      return "Control";
    case kOGLModAlt:
      return "Alt";
    case kOGLModSuper:
      return "Super";
    default:
      return nullptr;
  }
}

// The crossing test of Hormann and Agathos for arbitrary polygons, with a tolerance of 0.1 on
// coordinate equality so that points on the boundary are told apart.
int _OGLFPolygonTestPoint(const float* pairs, uint32_t count, const OGLTPoint* point) {
  if (!pairs || !point) return 0;
  return NRKFPolygonTestPoint(count, point->x, point->y,
                              [pairs](uint32_t i) { return std::pair(pairs[2 * i], pairs[2 * i + 1]); });
}

bool OGLFPolygonTestPoint(const float* pairs, uint32_t count, const OGLTPoint* point) {
  return _OGLFPolygonTestPoint(pairs, count, point) != 0;
}

}  // extern "C"

#pragma once
// The GL window's input records and its per-frame queue.
//
// Slot 0 of the queue always holds a cursor record; the frame's other records follow in
// arrival order. Types: 1 character, 2 key, 3 cursor, 4 scroll, 5 joypad. Modifier bits:
// shift 1, control 2, alt 4, super 8.
#include <cstdint>

#include "ui/gl/OGLTGeometry.h"

enum : uint32_t {
  kOGLInputCharacter = 1,
  kOGLInputKey = 2,
  kOGLInputCursor = 3,
  kOGLInputScroll = 4,
  kOGLInputJoypad = 5,
};

enum : int32_t {
  kOGLModShift = 1,
  kOGLModControl = 2,
  kOGLModAlt = 4,
  kOGLModSuper = 8,
};

// Key codes (GLFW's): printable keys carry their upper-case ASCII code.
enum : int32_t {
  kOGLKeySpace = 32,
  kOGLKeyA = 65,
  kOGLKeyC = 67,
  kOGLKeyS = 83,
  kOGLKeyV = 86,
  kOGLKeyX = 88,
  kOGLKeyEscape = 256,
  kOGLKeyEnter = 257,
  kOGLKeyTab = 258,
  kOGLKeyBackspace = 259,
  kOGLKeyInsert = 260,
  kOGLKeyDelete = 261,
  kOGLKeyRight = 262,
  kOGLKeyLeft = 263,
  kOGLKeyDown = 264,
  kOGLKeyUp = 265,
  kOGLKeyPageUp = 266,
  kOGLKeyPageDown = 267,
  kOGLKeyHome = 268,
  kOGLKeyEnd = 269,
  kOGLKeyCapsLock = 280,
  kOGLKeyF1 = 290,
  kOGLKeyF25 = 314,
  kOGLKeyKeypad0 = 320,
  kOGLKeyKeypadEnter = 335,
  kOGLKeyLeftShift = 340,
  kOGLKeyLeftAlt = 342,
  kOGLKeyRightAlt = 346,
  kOGLKeyMenu = 348,  // the highest key code
};

// Cursor buttons: GLFW's button n is n + 1.
enum : int32_t {
  kOGLButtonNone = 0,
  kOGLButtonLeft = 1,
  kOGLButtonRight = 2,
  kOGLButtonMiddle = 3,
};

// Key and cursor actions: 1 release, 2 press (or a move with a button down), 3 repeat;
// cursors also 0 (a move with no button down), 4 entered the window, 5 left it.
enum : int32_t {
  kOGLActionNone = 0,
  kOGLActionRelease = 1,
  kOGLActionPress = 2,
  kOGLActionRepeat = 3,
  kOGLActionEnter = 4,
  kOGLActionLeave = 5,
};

struct OGLTCharacterEvent {
  uint32_t codePoint;
};

struct OGLTKeypadEvent {
  int32_t key;  // GLFW key code
  int32_t scancode;
  int32_t action;
  int32_t mods;
};

// point: in the window's logical units, the units of widget frames.
struct OGLTCursorEvent {
  int32_t button;  // a kOGLButton name
  int32_t action;
  int32_t mods;
  OGLTPoint point;
};

struct OGLTScrollEvent {
  int32_t mods;
  OGLTPoint delta;
};

constexpr int kOGLJoypadButtons = 16;
constexpr int kOGLJoypadAxes = 8;

struct OGLTJoypadEvent {
  struct Button {
    bool changed;
    uint8_t state;  // 1 released, 2 pressed, 3 held
  } buttons[kOGLJoypadButtons];
  struct Axis {
    bool changed;
    float value;
  } axes[kOGLJoypadAxes];
};

struct OGLTInputEvent {
  uint32_t type;
  union {
    OGLTCharacterEvent character;
    OGLTKeypadEvent key;
    OGLTCursorEvent cursor;
    OGLTScrollEvent scroll;
    OGLTJoypadEvent joypad;
  };
};

constexpr uint32_t kOGLInputSlots = 8;

struct OGLTInputQueue {
  OGLTInputEvent events[kOGLInputSlots];
  uint32_t count;
  bool cursorSeen;  // slot 0 holds a cursor record that came this frame (else: where the cursor is)
};

// What the window keeps of one joypad (GLFW joystick ids 0 to 15).
struct OGLTJoypad {
  bool present;
  bool enabled;
  uint32_t buttonCount;
  uint32_t axisCount;
  uint8_t buttons[kOGLJoypadButtons];  // state at the last poll, 0 up
  struct {
    float slip;
    float zero;
  } axes[kOGLJoypadAxes];
  bool overflowLogged;  // too many buttons or axes, told once
};

// Queue operations (the window's thread). Each answers false when the record was dropped.
void OGLFInputQueueReset(OGLTInputQueue& queue);
bool OGLFInputQueueAppend(OGLTInputQueue& queue, const OGLTInputEvent& event);
// The frame's first cursor record overwrites slot 0 (even in a full queue); later ones append.
bool OGLFInputQueuePlaceCursor(OGLTInputQueue& queue, const OGLTCursorEvent& cursor);

// Compares a joypad's new readings with the last ones: a button that goes down is pressed (2),
// one that comes up released (1); a button held down stays held (3) without counting as a
// change, so a long hold does not flood the queue. An axis changes when it leaves its zero by
// more than its slip. True when anything changed; the event then holds the readings.
bool OGLFJoypadUpdate(OGLTJoypad& joypad, const unsigned char* buttons, int buttonCount, const float* axes,
                      int axisCount, OGLTJoypadEvent& event);

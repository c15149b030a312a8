#include "ui/gl/OGLTInput.h"

#include <algorithm>
#include <cmath>
#include <cstring>

void OGLFInputQueueReset(OGLTInputQueue& queue) {
  std::memset(&queue.events[0], 0, sizeof queue.events[0]);
  queue.events[0].type = kOGLInputCursor;
  queue.count = 1;
  queue.cursorSeen = false;
}

bool OGLFInputQueueAppend(OGLTInputQueue& queue, const OGLTInputEvent& event) {
  if (queue.count >= kOGLInputSlots) return false;
  queue.events[queue.count++] = event;
  return true;
}

bool OGLFInputQueuePlaceCursor(OGLTInputQueue& queue, const OGLTCursorEvent& cursor) {
  OGLTInputEvent event;
  std::memset(&event, 0, sizeof event);
  event.type = kOGLInputCursor;
  event.cursor = cursor;
  if (!queue.cursorSeen) {
    queue.events[0] = event;
    queue.cursorSeen = true;
    if (queue.count == 0) queue.count = 1;
    return true;
  }
  return OGLFInputQueueAppend(queue, event);
}

bool OGLFJoypadUpdate(OGLTJoypad& joypad, const unsigned char* buttons, int buttonCount, const float* axes,
                      int axisCount, OGLTJoypadEvent& event) {
  std::memset(&event, 0, sizeof event);
  bool changed = false;
  buttonCount = std::clamp(buttons ? buttonCount : 0, 0, kOGLJoypadButtons);
  axisCount = std::clamp(axes ? axisCount : 0, 0, kOGLJoypadAxes);
  for (int j = 0; j < buttonCount; ++j) {
    bool down = buttons[j] != 0, wasDown = joypad.buttons[j] != 0;
    if (down) {
      event.buttons[j] = {!wasDown, static_cast<uint8_t>(wasDown ? kOGLActionRepeat : kOGLActionPress)};
    } else if (wasDown) {
      event.buttons[j] = {true, static_cast<uint8_t>(kOGLActionRelease)};
    }
    changed = changed || event.buttons[j].changed;
    joypad.buttons[j] = down ? 1 : 0;
  }
  for (int k = 0; k < axisCount; ++k) {
    if (std::fabs(axes[k] - joypad.axes[k].zero) > joypad.axes[k].slip) {
      event.axes[k] = {true, axes[k]};
      changed = true;
    }
  }
  return changed;
}

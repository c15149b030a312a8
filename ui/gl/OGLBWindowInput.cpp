// The window's GLFW callbacks and joypad poll: each event becomes one record of the frame's
// input queue (the window's thread, inside the beat's event poll); records beyond a full queue
// wait behind it, in order, for the queues after it.
#include <epoxy/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cstring>
#include <new>

#include "framework/core/LLKFLog.h"
#include "ui/gl/OGLBWindow.h"

namespace {

// GLFW's release, press and repeat become 1, 2 and 3; anything else 0.
int32_t actionOf(int glfwAction) {
  return glfwAction >= GLFW_RELEASE && glfwAction <= GLFW_REPEAT ? glfwAction + 1 : kOGLActionNone;
}

// Key records carry GLFW's key codes and modifier bits unchanged: the names must be GLFW's.
static_assert(kOGLKeySpace == GLFW_KEY_SPACE && kOGLKeyA == GLFW_KEY_A && kOGLKeyC == GLFW_KEY_C &&
              kOGLKeyS == GLFW_KEY_S && kOGLKeyV == GLFW_KEY_V && kOGLKeyX == GLFW_KEY_X);
static_assert(kOGLKeyEscape == GLFW_KEY_ESCAPE && kOGLKeyEnter == GLFW_KEY_ENTER && kOGLKeyTab == GLFW_KEY_TAB &&
              kOGLKeyBackspace == GLFW_KEY_BACKSPACE && kOGLKeyInsert == GLFW_KEY_INSERT &&
              kOGLKeyDelete == GLFW_KEY_DELETE && kOGLKeyRight == GLFW_KEY_RIGHT && kOGLKeyLeft == GLFW_KEY_LEFT &&
              kOGLKeyDown == GLFW_KEY_DOWN && kOGLKeyUp == GLFW_KEY_UP && kOGLKeyPageUp == GLFW_KEY_PAGE_UP &&
              kOGLKeyPageDown == GLFW_KEY_PAGE_DOWN && kOGLKeyHome == GLFW_KEY_HOME && kOGLKeyEnd == GLFW_KEY_END);
static_assert(kOGLKeyCapsLock == GLFW_KEY_CAPS_LOCK && kOGLKeyF1 == GLFW_KEY_F1 && kOGLKeyF25 == GLFW_KEY_F25 &&
              kOGLKeyKeypad0 == GLFW_KEY_KP_0 && kOGLKeyKeypadEnter == GLFW_KEY_KP_ENTER &&
              kOGLKeyLeftShift == GLFW_KEY_LEFT_SHIFT && kOGLKeyLeftAlt == GLFW_KEY_LEFT_ALT &&
              kOGLKeyRightAlt == GLFW_KEY_RIGHT_ALT && kOGLKeyMenu == GLFW_KEY_LAST);
static_assert(kOGLModShift == GLFW_MOD_SHIFT && kOGLModControl == GLFW_MOD_CONTROL && kOGLModAlt == GLFW_MOD_ALT &&
              kOGLModSuper == GLFW_MOD_SUPER);

OGLTInputEvent blank(uint32_t type) {
  OGLTInputEvent event;
  std::memset(&event, 0, sizeof event);
  event.type = type;
  return event;
}

}  // namespace

struct OGLWindowCallbacks {
  static OGLBWindow* owner(GLFWwindow* window) { return static_cast<OGLBWindow*>(glfwGetWindowUserPointer(window)); }

  static void key(GLFWwindow* window, int key, int scancode, int action, int mods) {
    OGLBWindow* self = owner(window);
    if (!self) return;
    OGLTInputEvent event = blank(kOGLInputKey);
    event.key = {key, scancode, actionOf(action), mods};
    self->enqueue(event);
  }

  static void character(GLFWwindow* window, unsigned int codePoint) {
    OGLBWindow* self = owner(window);
    if (!self) return;
    OGLTInputEvent event = blank(kOGLInputCharacter);
    event.character.codePoint = codePoint;
    self->enqueue(event);
  }

  static void placeCursor(OGLBWindow* self, int32_t button, int32_t action, int32_t mods) {
    OGLTInputEvent event = blank(kOGLInputCursor);
    event.cursor = {button, action, mods, self->pointerAtEvent()};
    self->enqueue(event);
  }

  static void motion(GLFWwindow* window, double x, double y) {
    OGLBWindow* self = owner(window);
    if (!self) return;
    self->pointer_ = {static_cast<float>(x / self->scale()), static_cast<float>(y / self->scale())};
    self->pointerKnown_ = true;
    int32_t button = kOGLButtonNone, action = kOGLActionNone;
    if (glfwGetMouseButton(window, GLFW_MOUSE_BUTTON_LEFT) == GLFW_PRESS) button = kOGLButtonLeft;
    else if (glfwGetMouseButton(window, GLFW_MOUSE_BUTTON_RIGHT) == GLFW_PRESS) button = kOGLButtonRight;
    else if (glfwGetMouseButton(window, GLFW_MOUSE_BUTTON_MIDDLE) == GLFW_PRESS) button = kOGLButtonMiddle;
    if (button) action = kOGLActionPress;
    placeCursor(self, button, action, self->heldModifiers());
  }

  static void mouseButton(GLFWwindow* window, int button, int action, int mods) {
    if (OGLBWindow* self = owner(window)) placeCursor(self, button + 1, actionOf(action), mods);
  }

  static void enter(GLFWwindow* window, int entered) {
    OGLBWindow* self = owner(window);
    if (!self) return;
    self->pointerKnown_ = false;  // the motion that follows an entry tells where
    placeCursor(self, kOGLButtonNone, entered ? kOGLActionEnter : kOGLActionLeave, self->heldModifiers());
  }

  static void scroll(GLFWwindow* window, double dx, double dy) {
    OGLBWindow* self = owner(window);
    if (!self) return;
    OGLTInputEvent event = blank(kOGLInputScroll);
    event.scroll = {self->heldModifiers(), {static_cast<float>(dx), static_cast<float>(dy)}};
    self->enqueue(event);
  }

  static void windowSize(GLFWwindow* window, int width, int height) {
    if (OGLBWindow* self = owner(window))
      self->onSizeChangedForWindow(
          {static_cast<float>(width) / self->scale(), static_cast<float>(height) / self->scale()});
  }

  static void bufferSize(GLFWwindow* window, int width, int height) {
    if (OGLBWindow* self = owner(window))
      self->onSizeChangedForBuffer(
          {static_cast<float>(width) / self->scale(), static_cast<float>(height) / self->scale()});
  }

  static void position(GLFWwindow* window, int x, int y) {
    OGLBWindow* self = owner(window);
    if (!self) return;
    {
      std::lock_guard lock(self->monitor_);
      self->position_ = {static_cast<float>(x) / self->scale(), static_cast<float>(y) / self->scale()};
    }
    self->onMovingToPosition({static_cast<float>(x), static_cast<float>(y)});
  }

  static void iconify(GLFWwindow* window, int iconified) {
    OGLBWindow* self = owner(window);
    if (!self) return;
    if (iconified) {
      self->onIconified();
    } else {
      self->exposed_ = true;
      self->onRestored();
    }
  }

  static void refresh(GLFWwindow* window) {
    if (OGLBWindow* self = owner(window)) self->exposed_ = true;
  }

  static void focus(GLFWwindow* window, int focused) {
    OGLBWindow* self = owner(window);
    if (!self) return;
    if (focused) self->onGainInputFocus();
    else self->onLostInputFocus();
  }

  static void close(GLFWwindow* window) {
    if (OGLBWindow* self = owner(window)) glfwSetWindowShouldClose(window, self->onMayClose() ? GLFW_TRUE : GLFW_FALSE);
  }
};

void OGLBWindow::installCallbacks() {
  GLFWwindow* window = window_.load();
  glfwSetWindowCloseCallback(window, OGLWindowCallbacks::close);
  glfwSetWindowUserPointer(window, this);
  glfwSetKeyCallback(window, OGLWindowCallbacks::key);
  glfwSetCharCallback(window, OGLWindowCallbacks::character);
  glfwSetCursorPosCallback(window, OGLWindowCallbacks::motion);
  glfwSetMouseButtonCallback(window, OGLWindowCallbacks::mouseButton);
  glfwSetCursorEnterCallback(window, OGLWindowCallbacks::enter);
  glfwSetScrollCallback(window, OGLWindowCallbacks::scroll);
  glfwSetWindowSizeCallback(window, OGLWindowCallbacks::windowSize);
  glfwSetFramebufferSizeCallback(window, OGLWindowCallbacks::bufferSize);
  glfwSetWindowPosCallback(window, OGLWindowCallbacks::position);
  glfwSetWindowIconifyCallback(window, OGLWindowCallbacks::iconify);
  glfwSetWindowFocusCallback(window, OGLWindowCallbacks::focus);
  glfwSetWindowRefreshCallback(window, OGLWindowCallbacks::refresh);
}

// A record of the poll is where the pointer was when its event happened, which is where the
// poll's last motion put it: asking where the pointer is now would give every record of a
// flick (press, moves and release in one poll) the place of its end.
OGLTPoint OGLBWindow::pointerAtEvent() const { return pointerKnown_ ? pointer_ : cursorPoint(); }

// Cursor positions are given in logical units, the units of widget frames, whatever the
// content scale.
OGLTPoint OGLBWindow::cursorPoint() const {
  double x = 0, y = 0;
  if (GLFWwindow* window = window_.load()) glfwGetCursorPos(window, &x, &y);
  return {static_cast<float>(x / scale()), static_cast<float>(y / scale())};
}

int32_t OGLBWindow::heldModifiers() const {
  GLFWwindow* window = window_.load();
  if (!window) return 0;
  auto down = [window](int key) { return glfwGetKey(window, key) == GLFW_PRESS; };
  int32_t mods = 0;
  if (down(GLFW_KEY_LEFT_SHIFT) || down(GLFW_KEY_RIGHT_SHIFT)) mods |= kOGLModShift;
  if (down(GLFW_KEY_LEFT_CONTROL) || down(GLFW_KEY_RIGHT_CONTROL)) mods |= kOGLModControl;
  if (down(GLFW_KEY_LEFT_ALT) || down(GLFW_KEY_RIGHT_ALT)) mods |= kOGLModAlt;
  if (down(GLFW_KEY_LEFT_SUPER) || down(GLFW_KEY_RIGHT_SUPER)) mods |= kOGLModSuper;
  return mods;
}

// The frame's first cursor record takes slot 0, as in any queue. Once records wait behind a
// full queue, every later one waits too, so that they all reach onInputs in the order they came.
void OGLBWindow::enqueue(const OGLTInputEvent& event) {
  inputSeen_ = true;
  if (backlog_.empty()) {
    bool placed = event.type == kOGLInputCursor ? OGLFInputQueuePlaceCursor(queue_, event.cursor)
                                                : OGLFInputQueueAppend(queue_, event);
    if (placed) return;
  }
  try {
    backlog_.push_back(event);
  } catch (const std::bad_alloc&) {
    LLKFLog("OGLBWindow : out of memory, an input record of type %u is lost", event.type);
  }
}

void OGLBWindow::pollJoypads() {
  for (int id = 0; id < 16; ++id) {
    OGLTJoypad& pad = joypads_[id];
    bool present = glfwJoystickPresent(id) == GLFW_TRUE;
    if (present && !pad.present) {
      int axes = 0, buttons = 0;
      glfwGetJoystickAxes(id, &axes);
      glfwGetJoystickButtons(id, &buttons);
      pad.buttonCount = static_cast<uint32_t>(buttons);
      pad.axisCount = static_cast<uint32_t>(axes);
      pad.present = true;
      pad.overflowLogged = false;
      const char* name = glfwGetJoystickName(id);
      uint32_t misc[2] = {pad.buttonCount, pad.axisCount};
      onJoypadDetected(static_cast<uint32_t>(id), name ? name : "", misc);
    }
    if (present && pad.enabled) {
      int axisCount = 0, buttonCount = 0;
      const float* axes = glfwGetJoystickAxes(id, &axisCount);
      const unsigned char* buttons = glfwGetJoystickButtons(id, &buttonCount);
      // Told once per joypad, not on every poll.
      if (!pad.overflowLogged && (buttonCount > kOGLJoypadButtons || axisCount > kOGLJoypadAxes)) {
        if (buttonCount > kOGLJoypadButtons)
          LLKFLog("OGLBWindow : joypad %d has more than %d buttons; the rest are left out", id, kOGLJoypadButtons);
        if (axisCount > kOGLJoypadAxes)
          LLKFLog("OGLBWindow : joypad %d has more than %d axes; the rest are left out", id, kOGLJoypadAxes);
        pad.overflowLogged = true;
      }
      OGLTInputEvent event = blank(kOGLInputJoypad);
      if (OGLFJoypadUpdate(pad, buttons, buttonCount, axes, axisCount, event.joypad)) enqueue(event);
    }
    if (!present && pad.present) {
      pad.present = false;
      pad.enabled = false;
      onJoypadUnplugged(static_cast<uint32_t>(id));
    }
  }
}

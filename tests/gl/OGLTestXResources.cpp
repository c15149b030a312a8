#include "tests/gl/OGLTestXResources.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>

OGLTestXResources::OGLTestXResources(const std::string& resources) {
  display_ = XOpenDisplay(nullptr);
  if (!display_) return;
  XChangeProperty(display_, DefaultRootWindow(display_), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(resources.c_str()), static_cast<int>(resources.size()));
  XSync(display_, False);
}

OGLTestXResources::~OGLTestXResources() {
  if (!display_) return;
  XDeleteProperty(display_, DefaultRootWindow(display_), XA_RESOURCE_MANAGER);
  XCloseDisplay(display_);
}

bool OGLTestRequestClose(const std::string& title) {
  std::string command = "xdotool search --sync --name '^" + title + "$' 2>/dev/null";
  FILE* search = popen(command.c_str(), "r");
  if (!search) return false;
  char line[64] = {};
  bool found = std::fgets(line, sizeof line, search) != nullptr;
  pclose(search);
  ::Window window = found ? std::strtoul(line, nullptr, 10) : 0;
  Display* display = window ? XOpenDisplay(nullptr) : nullptr;
  if (!display) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return true;
}

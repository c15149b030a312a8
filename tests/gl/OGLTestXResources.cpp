#include "tests/gl/OGLTestXResources.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

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

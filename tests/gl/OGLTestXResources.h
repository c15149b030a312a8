#pragma once
// Sets the X server's resource database (where Xft.dpi, and so the content scale, is read
// from) for as long as it lives. It keeps its connection open: a server without clients
// resets and forgets its properties.
#include <string>

struct _XDisplay;

class OGLTestXResources {
public:
  explicit OGLTestXResources(const std::string& resources);
  ~OGLTestXResources();
  OGLTestXResources(const OGLTestXResources&) = delete;
  OGLTestXResources& operator=(const OGLTestXResources&) = delete;
  bool applied() const { return display_ != nullptr; }

private:
  _XDisplay* display_ = nullptr;
};

// Asks the window of that title to close as a window manager does (WM_DELETE_WINDOW); false
// without a display or such a window (found with xdotool).
bool OGLTestRequestClose(const std::string& title);

#include "tests/app/WorkbenchProcess.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Windows of other programs may go between listing them and asking about them: the request then
// fails, and Xlib's default answer to a failed request would end the test.
int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

Display* openDisplay() {
  static const bool installed = (XSetErrorHandler(ignoreXErrors), true);
  (void)installed;
  return XOpenDisplay(nullptr);
}

// The first window below the given one (depth first) whose name is the title.
Window findNamed(Display* display, Window window, const char* title) {
  char* name = nullptr;
  if (XFetchName(display, window, &name) && name) {
    bool found = std::strcmp(name, title) == 0;
    XFree(name);
    if (found) return window;
  }
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && !found; ++i) found = findNamed(display, children[i], title);
  if (children) XFree(children);
  return found;
}

}  // namespace

WorkbenchProcess::WorkbenchProcess(const std::string& program, const std::vector<std::string>& arguments,
                                   const std::vector<std::string>& environment) {
  int channel[2];
  if (pipe(channel) != 0) return;
  std::vector<std::string> env;
  // The given variables replace the inherited ones of the same name.
  auto named = [&](const char* entry) {
    for (const std::string& given : environment)
      if (given.compare(0, given.find('=') + 1, entry, 0, given.find('=') + 1) == 0) return true;
    return false;
  };
  for (char** e = environ; *e; ++e)
    if (!named(*e)) env.emplace_back(*e);
  env.insert(env.end(), environment.begin(), environment.end());
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(channel[1], STDERR_FILENO);
    close(channel[0]);
    close(channel[1]);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(channel[1]);
  errorPipe_ = channel[0];
  fcntl(errorPipe_, F_SETFL, O_NONBLOCK);
}

WorkbenchProcess::~WorkbenchProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (errorPipe_ >= 0) close(errorPipe_);
}

bool WorkbenchProcess::readSome(std::chrono::milliseconds timeout) {
  pollfd entry{errorPipe_, POLLIN, 0};
  if (poll(&entry, 1, static_cast<int>(timeout.count())) <= 0) return false;
  char buffer[4096];
  ssize_t n = read(errorPipe_, buffer, sizeof buffer);
  if (n <= 0) return false;
  output_.append(buffer, static_cast<size_t>(n));
  return true;
}

bool WorkbenchProcess::waitForOutput(const std::string& text, std::chrono::milliseconds timeout) {
  auto deadline = Clock::now() + timeout;
  while (output_.find(text) == std::string::npos) {
    if (Clock::now() >= deadline) return false;
    (void)readSome(std::chrono::milliseconds(100));
  }
  return true;
}

int WorkbenchProcess::waitForExit(std::chrono::milliseconds timeout) {
  if (pid_ <= 0) return -1;
  auto deadline = Clock::now() + timeout;
  while (Clock::now() < deadline) {
    int status = 0;
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      while (readSome(std::chrono::milliseconds(0))) {}
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    (void)readSome(std::chrono::milliseconds(50));
  }
  return -1;
}

bool WorkbenchProcess::signal(int number) { return pid_ > 0 && kill(pid_, number) == 0; }

bool WorkbenchFindWindow(const char* title, ScreenRect* rect, std::chrono::milliseconds timeout) {
  Display* display = openDisplay();
  if (!display) return false;
  auto deadline = Clock::now() + timeout;
  bool found = false;
  for (bool first = true; !found && (first || Clock::now() < deadline); first = false) {
    Window window = findNamed(display, DefaultRootWindow(display), title);
    XWindowAttributes attributes{};
    if (window && XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable) {
      Window child = 0;
      XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &rect->x, &rect->y, &child);
      rect->w = attributes.width;
      rect->h = attributes.height;
      found = true;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  XCloseDisplay(display);
  return found;
}

std::vector<uint8_t> WorkbenchGrab(const ScreenRect& rect) {
  std::vector<uint8_t> rgb;
  Display* display = openDisplay();
  if (!display) return rgb;
  XImage* image = XGetImage(display, DefaultRootWindow(display), rect.x, rect.y, static_cast<unsigned>(rect.w),
                            static_cast<unsigned>(rect.h), AllPlanes, ZPixmap);
  if (image) {
    rgb.reserve(static_cast<size_t>(rect.w) * rect.h * 3);
    for (int y = 0; y < rect.h; ++y)
      for (int x = 0; x < rect.w; ++x) {
        unsigned long pixel = XGetPixel(image, x, y);
        rgb.push_back(static_cast<uint8_t>((pixel >> 16) & 0xFF));
        rgb.push_back(static_cast<uint8_t>((pixel >> 8) & 0xFF));
        rgb.push_back(static_cast<uint8_t>(pixel & 0xFF));
      }
    XDestroyImage(image);
  }
  XCloseDisplay(display);
  return rgb;
}

std::vector<uint8_t> WorkbenchGrabUntil(const ScreenRect& rect,
                                        const std::function<bool(const std::vector<uint8_t>&)>& shows,
                                        std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::vector<uint8_t> rgb = WorkbenchGrab(rect);
  while (shows && !rgb.empty() && !shows(rgb) && std::chrono::steady_clock::now() < deadline) rgb = WorkbenchGrab(rect);
  return rgb;
}

bool WorkbenchSavePNG(const std::vector<uint8_t>& rgb, const ScreenRect& rect, const std::string& path) {
  if (rgb.size() != static_cast<size_t>(rect.w) * rect.h * 3) return false;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, rect.w, rect.h);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return false;
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < rect.h; ++y)
    for (int x = 0; x < rect.w; ++x) {
      const uint8_t* p = &rgb[(static_cast<size_t>(y) * rect.w + x) * 3];
      uint32_t value = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
      std::memcpy(data + y * stride + x * 4, &value, 4);
    }
  cairo_surface_mark_dirty(surface);
  bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return written;
}

bool WorkbenchClick(int x, int y, const std::string& modifier) {
  const std::string click = modifier.empty() ? " click 1" : " keydown " + modifier + " click 1 keyup " + modifier;
  const std::string command = "xdotool search --sync --name '^vesko$' windowfocus --sync mousemove --window %1 " +
                              std::to_string(x) + " " + std::to_string(y) + " sleep 0.15" + click + " sleep 0.15";
  return std::system(command.c_str()) == 0;
}

bool WorkbenchDrag(int fromX, int fromY, int toX, int toY) {
  std::string command = "xdotool search --sync --name '^vesko$' windowfocus --sync mousemove --window %1 " +
                        std::to_string(fromX) + " " + std::to_string(fromY) + " sleep 0.15 mousedown 1 sleep 0.1";
  for (int step = 1; step <= 4; ++step)
    command += " mousemove --window %1 " + std::to_string(fromX + (toX - fromX) * step / 4) + " " +
               std::to_string(fromY + (toY - fromY) * step / 4) + " sleep 0.05";
  command += " mouseup 1 sleep 0.15";
  return std::system(command.c_str()) == 0;
}

#pragma once
// The real workbench program started for a test: its own settings and data folders, its
// standard error kept, signals, waiting for lines and for its end with generous timeouts, its
// window found on the display and captured as a PNG.
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class WorkbenchProcess {
public:
  // Starts the program with the arguments and the environment variables added ("NAME=value").
  WorkbenchProcess(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment);
  ~WorkbenchProcess();

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  // True once a line of standard error contains the text.
  bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(30));
  // The program's exit status once it ended; -1 when it did not end in time or was killed.
  int waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(30));
  bool signal(int number);
  const std::string& output() const { return output_; }

private:
  bool readSome(std::chrono::milliseconds timeout);

  pid_t pid_ = -1;
  int errorPipe_ = -1;
  std::string output_;
};

// The top-level window with the title on the display, as its root position and size; false
// until it exists (waits up to the timeout).
struct ScreenRect {
  int x = 0, y = 0, w = 0, h = 0;
};
bool WorkbenchFindWindow(const char* title, ScreenRect* rect,
                         std::chrono::milliseconds timeout = std::chrono::seconds(30));
// The screen's pixels in the rect as RGB bytes (row after row); empty when it cannot be read.
std::vector<uint8_t> WorkbenchGrab(const ScreenRect& rect);
// Grabs the rect again until the pixels show what the check wants, the grab fails or the timeout
// passes; the last pixels grabbed. Without a check, the first grab.
std::vector<uint8_t> WorkbenchGrabUntil(const ScreenRect& rect,
                                        const std::function<bool(const std::vector<uint8_t>&)>& shows,
                                        std::chrono::milliseconds timeout = std::chrono::seconds(20));
// Writes the pixels (as WorkbenchGrab gave them) to a PNG file; false when it cannot.
bool WorkbenchSavePNG(const std::vector<uint8_t>& rgb, const ScreenRect& rect, const std::string& path);
// A real click of the left button at a point of the window titled "vesko" (xdotool), the
// pointer resting there first as a hand would, the modifier key ("shift", "ctrl") held when
// named; false when xdotool failed.
bool WorkbenchClick(int x, int y, const std::string& modifier = "");
// A real drag with the left button from one point of that window to another, in a few moves.
bool WorkbenchDrag(int fromX, int fromY, int toX, int toY);

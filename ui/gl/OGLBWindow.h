#pragma once
// One desktop window on a thread of its own (GLFW with an OpenGL 3.3 core context).
//
// The window beats every few milliseconds: it polls events and joypads into a per-frame input
// queue, and every divider-th beat (or earlier, when input is waiting or the queue is full)
// makes a frame. No record is lost: when more come in one poll than the queue holds, each full
// queue is handed to onInputs and followed by a frame of its own, in order. A frame is
// onUpdateWithStep, then three passes composed in order into the framebuffer:
// the surface pass (2D), the raw GL content pass, the overlay pass (2D). A 2D pass that draws
// nothing costs nothing; a window that skips unchanged frames draws and swaps only frames that
// show something new.
//
// A window opens no larger than the screens (the monitors' work areas) and, when it was given a
// place, on them.
//
// Properties can be read and set from any thread: on the window's thread GLFW is called
// directly; from another thread while the window runs, the request travels as a flash (fire
// and forget) or a synchronous message; while it does not run, a cached copy is used.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/core/LLKBConductor.h"
#include "ui/gl/OGLC2DContext.h"
#include "ui/gl/OGLTGeometry.h"
#include "ui/gl/OGLTInput.h"

struct GLFWwindow;
struct GLFWcursor;
class OGLCPassCompositor;

extern "C" {
// Opens the GL layer for the process (error log, GLFW); true when GLFW started.
bool OGLFInit(void);
// Closes it, after the last window stopped.
void OGLFExit(void);
}

// Flash codes and message uids of the window's own cross-thread commands (tag 0; ctx 1 reads
// into the caller's variable, ctx 2 applies it).
enum : uint32_t {
  kOGLFlashShow = 0xF0000001,
  kOGLFlashHide = 0xF0000002,
  kOGLFlashTitle = 0xF0000003,
  kOGLFlashIconify = 0xF0000004,
  kOGLFlashRestore = 0xF0000005,
  kOGLSendSize = 0xF0000001,
  kOGLSendPosition = 0xF0000002,
  kOGLSendVisible = 0xF0000003,
  kOGLSendFocused = 0xF0000004,
  kOGLSendIconified = 0xF0000005,
  kOGLSendFrame = 0xF0000006,
  kOGLSendCursor = 0xF0000007,
  kOGLSendRead = 1,
  kOGLSendWrite = 2,
};

// Standard cursor shapes.
enum : uint32_t {
  kOGLCursorArrow = 0,
  kOGLCursorIBeam = 1,
  kOGLCursorCrosshair = 2,
  kOGLCursorHand = 3,
  kOGLCursorHorizontalResize = 4,
  kOGLCursorVerticalResize = 5,
  kOGLCursorCount = 6,
};

class OGLBWindow : public LLKBConductor {
public:
  ~OGLBWindow() override;

  // Runs the window on the calling thread until it closes. False when it had already started,
  // or when the GL window could not be made (then it stops at once instead of beating idle).
  bool startSync();
  bool failedToOpen() const { return failedToOpen_.load(); }

  // Plain accessors, any thread.
  float scale() const { return scale_.load(); }
  // The 2D context of every drawing call; null until the window opened, then kept until the
  // window goes (its faces and textures with it).
  OGLC2DContext* context() const { return context_.get(); }
  GLFWwindow* glfwHandle() const { return window_.load(); }
  // {step, render, pre-swap, post-swap} of the last frame, seconds.
  void getRenderingStats(float stats[4]) const;
  OGLTRect bounds() const;
  void getClearColor(float color[4]) const;
  void setClearColor(const float color[4]);
  bool willRender() const { return willRender_.load(); }
  bool resting() const { return resting_.load(); }

  // Thread-aware operations.
  void show();
  void hide();
  void iconify();
  void restore();
  // Null is ignored.
  void setTitle(const char* title);
  std::string title() const;
  OGLTSize size() const;
  void setSize(OGLTSize size);
  OGLTPoint position() const;
  void setPosition(OGLTPoint position);
  OGLTRect frame() const;
  void setFrame(OGLTRect frame);
  bool isVisible() const;
  bool hasInputFocus() const;
  bool isIconified() const;
  uint32_t cursor() const;
  // 0 to 5 (kOGLCursor*); anything else is ignored.
  void setCursor(uint32_t index);

  // Frames that show nothing new: drawn and swapped like any other (the default, for windows
  // that watch every frame), or skipped, the screen keeping its last picture until
  // onFrameChanged tells of a change or the window is exposed, resized or restored. Such a
  // window rests after a quarter of a second without input or change: instead of beating it
  // waits, stepping one frame a quarter of a second (a caret's blink). Its wait ends for an
  // event and for work for its thread (queued from any thread, or coming due after a delay),
  // the one way anything shown changes without input; the window then beats at once, and input
  // or a frame that changed ends the rest.
  void setSkipsUnchangedFrames(bool skips) { skipsUnchanged_ = skips; }
  bool skipsUnchangedFrames() const { return skipsUnchanged_.load(); }

  // Frames per second wanted; 0 is ignored. 30 when the window opens.
  void setDesiredFrameRate(uint32_t fps);
  uint32_t frameDivider() const { return divider_.load(); }

  // Joypads (window thread; ids 0 to 15).
  bool enableJoypadInput(int id);
  bool disableJoypadInput(int id);
  void setJoypadAxes(int id, const float* zeroes, const float* slips);
  void setJoypadAxis(int id, int axis, float zero, float slip);

  std::recursive_mutex& monitor() const { return monitor_; }

protected:
  OGLBWindow();

  // Hooks, in the order the window calls them; the defaults do nothing.
  virtual void onOpening() {}
  virtual void onClosing() {}
  virtual void onShowing() {}
  virtual void onHiding() {}
  virtual void onAwaken() {}
  virtual void onSnooze() {}
  // The frame's input; true asks for a frame now.
  virtual bool onInputs(OGLTInputQueue& queue) { return false; }
  virtual bool onMayClose() { return true; }
  virtual void onUpdateWithStep(float step) {}
  // Asked after onUpdateWithStep while unchanged frames are skipped: whether this frame shows
  // anything new. The default says it does.
  virtual bool onFrameChanged() { return true; }
  virtual void onRenderSurfaceWithStep(float step, const OGLTSize& size) {}
  virtual void onRenderContentWithStep(float step, const OGLTSize& size) {}
  virtual void onRenderOverlayWithStep(float step, const OGLTSize& size) {}
  // Runs the three passes; a subclass that overrides it calls this one.
  virtual void onRenderWithStep(float step, const OGLTSize& size);
  virtual void onShownWithStep(float step) {}
  virtual void onJoypadDetected(uint32_t id, const char* name, const uint32_t misc[2]) {}
  virtual void onJoypadUnplugged(uint32_t id) {}
  // Window changes; sizes in logical units, the position as GLFW reports it.
  virtual bool onSizeChangedForWindow(const OGLTSize& size) { return false; }
  virtual bool onSizeChangedForBuffer(const OGLTSize& size) { return false; }
  virtual bool onMovingToPosition(const OGLTPoint& position) { return false; }
  virtual bool onIconified() { return false; }
  virtual bool onRestored() { return false; }
  virtual bool onGainInputFocus() { return false; }
  virtual bool onLostInputFocus() { return false; }

  // Conductor hooks.
  void onStarting() override;
  void onStopping() override;
  void onBeated() override;
  void onFlashed(uint64_t code) override;
  bool onMessaged(const Ref<LLKCMessage>& message) override;
  bool waitForWork(std::unique_lock<std::mutex>& lock, std::chrono::steady_clock::time_point deadline) override;
  void interruptWait() override;

private:
  friend struct OGLWindowCallbacks;

  bool onOwnThread() const { return isLoopThread(); }
  bool reachable() const { return !isLoopThread() && isRunning(); }
  // Sends a read or write of the caller's variable to the window's thread; false when the
  // window does not run.
  bool sendValue(uint32_t uid, uint32_t ctx, void* value) const;
  // A thread-aware property, read or written the one way every property is (see the .cpp).
  template <typename T, typename Direct, typename Cached>
  T readProperty(uint32_t uid, Direct direct, Cached cached) const;
  template <typename T, typename Direct, typename Cached>
  void writeProperty(uint32_t uid, T value, Direct direct, Cached cached);
  bool attribute(uint32_t uid, int glfwAttribute) const;
  // A window command (kOGLFlash*): run here on the window's thread, flashed from others.
  void command(uint64_t code);
  void applyCommand(uint64_t code);
  // Before the window is made: its size at most the screens', and a given place on them.
  void fitToScreens(float scale);
  void installCallbacks();
  void pollJoypads();
  // Puts a record of the poll into the frame's queue, or behind it when the queue is full.
  void enqueue(const OGLTInputEvent& event);
  // Hands every full queue of the poll to onInputs, each with its frame, until what is left
  // fits in one queue.
  void handOnFullQueues();
  void deliverQueue(bool makeFrameAnyway);
  // After a beat: rests when nothing happened for a while, beats again on input or change.
  void noteRest();
  void makeFrame();
  void applyCursor(uint32_t index);
  // Where the pointer is now, and where it was at the event being recorded.
  OGLTPoint cursorPoint() const;
  OGLTPoint pointerAtEvent() const;
  int32_t heldModifiers() const;

  std::atomic<GLFWwindow*> window_{nullptr};
  std::unique_ptr<OGLC2DContext> context_;
  std::unique_ptr<OGLCPassCompositor> compositor_;
  double lastFrameTime_ = 0;
  std::atomic<float> bounds_[4] = {0, 0, 0, 0};
  OGLTSize size_{640, 480};
  OGLTPoint position_{0, 0};
  bool positionGiven_ = false;
  std::string title_;
  uint32_t beats_ = 0;
  std::atomic<uint32_t> divider_{1};
  uint32_t activeBeat_ = 10;  // the beat of the frame rate wanted, kept while resting
  std::atomic<bool> resting_{false};
  float restTime_ = 0;      // seconds without input or change
  bool inputSeen_ = false;  // a record came since the last beat
  std::atomic<bool> willRender_{false};
  bool bufferSizePending_ = false;
  std::atomic<bool> skipsUnchanged_{false};
  bool exposed_ = true;  // the screen lost the picture (shown, uncovered, restored)
  std::atomic<float> scale_{1};
  GLFWcursor* cursors_[kOGLCursorCount] = {};
  uint32_t cursorIndex_ = 0;
  OGLTPoint pointer_{};        // where the last motion event put the pointer
  bool pointerKnown_ = false;  // a motion came since the pointer entered
  OGLTInputQueue queue_{};
  std::vector<OGLTInputEvent> backlog_;  // records of the poll behind a full queue, in order
  std::atomic<float> stats_[4] = {0, 0, 0, 0};
  std::atomic<float> clearColor_[4] = {0, 0, 0, 1};
  OGLTJoypad joypads_[16] = {};
  std::atomic<bool> failedToOpen_{false};
  mutable std::recursive_mutex monitor_;
};

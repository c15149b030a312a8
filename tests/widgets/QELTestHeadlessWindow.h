#pragma once
// A widget window without a screen, for widget tests: it draws into a headless 2D context (an
// image surface) with the built-in faces, takes input records the test injects, steps beats
// and frames the way the GL window's loop does, and runs the work that widgets posted, poked
// or broadcast (from any thread) when the test pumps it.
//
//   Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({400, 300});
//   window->attach(view);
//   window->click({50, 40});                 // press and release: two frames
//   window->frame();                         // one beat that steps a frame
//   window->pump();                          // posted and poked messages that are due
//   window->pixel(10, 10);                   // the composed passes, straight RGBA
//
// Unlike the GL window it draws every frame whole (its tests change probes directly); a test of
// partial redrawing turns setRedrawsOnRequest(true) on.
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "ui/gl/OGLC2DContext.h"
#include "ui/widgets/QELBWindow.h"

class QELTestHeadlessWindow : public QELBWindow {
public:
  // Opened at once (faces registered); null when the 2D context cannot be made.
  static Ref<QELTestHeadlessWindow> make(OGLTSize size) { return open(adoptRef(new QELTestHeadlessWindow()), size); }
  // Opens a window of a subclass the same way.
  template <typename T>
  static Ref<T> open(Ref<T> window, OGLTSize size) {
    return window && window->openHeadless(size) ? window : nullptr;
  }

  // The widgets go before the drawing context their textures belong to, as a closing window
  // lets them go.
  ~QELTestHeadlessWindow() override { detachAll(); }

  OGLC2DContext* context() const override { return context_.get(); }
  // Device pixels per logical unit of the passes (1 unless set); pixel() reads device pixels.
  void setPixelRatio(float ratio) { pixelRatio_ = ratio; }

  // Input for the next frame. The first cursor record of a frame takes slot 0, as in the GL
  // window; a frame without one gets a plain motion record at the last cursor position.
  void cursorEvent(OGLTPoint point, int32_t button = kOGLButtonNone, int32_t action = kOGLActionNone, int32_t mods = 0);
  void key(int32_t key, int32_t action, int32_t mods = 0);
  void character(uint32_t codePoint);
  void scroll(OGLTPoint delta, int32_t mods = 0);
  void joypad(const OGLTJoypadEvent& joypad);

  // One beat that steps a frame: onAwaken, onInputs, onUpdateWithStep, the three passes,
  // onSnooze. Then the due work is pumped. Answers what onInputs answered.
  bool frame(float step = 1.0f / 30);
  // A beat without a frame.
  void beat();
  // Runs the posted, poked and broadcast work that is due (also work it queues itself);
  // answers how many tasks ran.
  int pump();
  // Pumps until the predicate holds or the timeout passes (for work from other threads and
  // delayed pokes).
  bool pumpUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout = std::chrono::seconds(10));

  // Frames of input, each followed by frame(): a left click is a press and a release; a drag
  // presses at from, moves in steps to to, and releases there.
  void click(OGLTPoint point, int32_t button = kOGLButtonLeft);
  void drag(OGLTPoint from, OGLTPoint to, int steps = 4);
  void moveTo(OGLTPoint point);

  // The surface pass, the raw content (nothing here) and the overlay pass composed as the GL
  // window does, as straight RGBA bytes (zeros where nothing was drawn).
  std::array<uint8_t, 4> pixel(int x, int y) const;

  // Closes as the GL window does (onClosing: every widget detached).
  void close() { onClosing(); }

  // The tasks waiting (due or not).
  size_t pending() const;

  // Runs in the raw content pass, between the surface and the overlay passes.
  std::function<void()> content;

protected:
  QELTestHeadlessWindow() = default;
  bool schedule(std::function<void()> task, bool delayed, uint32_t afterMs) override;

private:
  using Clock = std::chrono::steady_clock;
  void onRenderContentWithStep(float, const OGLTSize&) override {
    if (content) content();
  }
  bool openHeadless(OGLTSize size);
  void appendRecord(const OGLTInputEvent& event);
  void keepPass(std::vector<uint8_t>& pixels, bool& empty);

  std::unique_ptr<OGLC2DContext> context_;
  OGLTInputQueue queue_{};
  OGLTPoint cursorPoint_{0, 0};
  mutable std::mutex mutex_;
  std::condition_variable queued_;
  std::multimap<Clock::time_point, std::function<void()>> tasks_;
  std::vector<uint8_t> surface_, overlay_;
  bool surfaceEmpty_ = false, overlayEmpty_ = false;
  float pixelRatio_ = 1;
  int width_ = 0, height_ = 0, stride_ = 0;
};

// A real window that skips unchanged frames: it comes to rest, beats there without drawing, and a
// change asked for on its thread from another thread is drawn. (Runs in widgets_real_window_tests, under X.)
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "ui/widgets/QELBView.h"
#include "ui/widgets/QELBWindow.h"

namespace {

using namespace std::chrono_literals;

class CountingWindow : public QELBWindow {
public:
  // A small window at 60 frames a second that skips unchanged frames: one that comes to rest.
  static Ref<CountingWindow> make() {
    Ref<CountingWindow> window = adoptRef(new CountingWindow());
    window->setSkipsUnchangedFrames(true);
    window->setSize({320, 200});
    window->setDesiredFrameRate(60);
    return window;
  }

  // Waits until the predicate on {beats, frames drawn} holds.
  bool waitFor(const std::function<bool(int beats, int frames)>& holds) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 20s, [&] { return holds(beats_, frames_); });
  }
  int frames() {
    std::lock_guard lock(mutex_);
    return frames_;
  }
  // The waits at rest so far, and those there had been when the frame (counted from 1) was drawn.
  int waits() {
    std::lock_guard lock(mutex_);
    return waits_;
  }
  int waitsWhenDrawn(int frame) {
    std::lock_guard lock(mutex_);
    return frame >= 1 && frame <= static_cast<int>(waitsAtFrame_.size()) ? waitsAtFrame_[frame - 1] : -1;
  }
  int beats() {
    std::lock_guard lock(mutex_);
    return beats_;
  }
  Ref<QELCView> view;

protected:
  void onOpening() override {
    QELBWindow::onOpening();
    view = QELCView::widgetWithSize({200, 120}, {20, 20}, "idle");
    view->setVisible(true);
    attach(view);
    show();
  }
  void onClosing() override {
    QELBWindow::onClosing();
    view.reset();
  }
  void onSnooze() override {
    QELBWindow::onSnooze();
    count(beats_);
  }
  void onRenderWithStep(float step, const OGLTSize& size) override {
    QELBWindow::onRenderWithStep(step, size);
    {
      std::lock_guard lock(mutex_);
      waitsAtFrame_.push_back(waits_);
    }
    count(frames_);
  }
  bool waitForWork(std::unique_lock<std::mutex>& lock, std::chrono::steady_clock::time_point deadline) override {
    if (resting()) count(waits_);
    return QELBWindow::waitForWork(lock, deadline);
  }

private:
  void count(int& counter) {
    std::lock_guard lock(mutex_);
    ++counter;
    changed_.notify_all();
  }
  std::mutex mutex_;
  std::condition_variable changed_;
  int beats_ = 0, frames_ = 0, waits_ = 0;
  std::vector<int> waitsAtFrame_;
};

TEST(IdleFrames, AWindowAtRestBeatsWithoutDrawingAndDrawsWhatIsAsked) {
  Ref<CountingWindow> window = CountingWindow::make();
  std::thread driver([&] {
    // The first frames (shown, exposed, entered) are drawn; then the window comes to rest.
    EXPECT_TRUE(window->waitFor([](int, int frames) { return frames >= 1; }));
    EXPECT_TRUE(window->waitFor([&](int, int) { return window->resting(); }));
    int frames = window->frames(), beats = window->beats();
    EXPECT_TRUE(window->waitFor([&](int now, int) { return now >= beats + 4; }));
    EXPECT_EQ(window->frames(), frames) << "frames drawn at rest";
    EXPECT_TRUE(window->resting());
    // A change made on the window's thread is drawn.
    EXPECT_TRUE(window->sched([&] { window->view->setTitle("changed"); }));
    EXPECT_TRUE(window->waitFor([&](int, int now) { return now > frames; }));
    window->stop();
  });
  EXPECT_TRUE(window->startSync());
  driver.join();
}

// Work due after a delay, run while the window rests, is drawn by the beat that follows it at
// once: the window does not wait again (up to a quarter of a second) before it draws.
TEST(IdleFrames, TimedWorkAtRestIsDrawnWithoutWaitingAgain) {
  Ref<CountingWindow> window = CountingWindow::make();
  std::thread driver([&] {
    EXPECT_TRUE(window->waitFor([](int, int frames) { return frames >= 1; }));
    for (int attempt = 1; attempt <= 3; ++attempt) {
      SCOPED_TRACE(attempt);
      EXPECT_TRUE(window->waitFor([&](int, int) { return window->resting(); }));
      std::atomic<int> waitsAtTask = -1, framesAtTask = -1;
      EXPECT_TRUE(window->sched(
          [&, attempt] {
            window->view->setTitle("changed " + std::to_string(attempt));
            waitsAtTask = window->waits();
            framesAtTask = window->frames();
          },
          100));
      EXPECT_TRUE(window->waitFor([&](int, int frames) { return framesAtTask >= 0 && frames > framesAtTask; }));
      EXPECT_EQ(window->waitsWhenDrawn(framesAtTask + 1), waitsAtTask) << "the window waited before drawing the change";
    }
    window->stop();
  });
  EXPECT_TRUE(window->startSync());
  driver.join();
}

}  // namespace

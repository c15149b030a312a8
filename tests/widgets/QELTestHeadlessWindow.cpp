#include "tests/widgets/QELTestHeadlessWindow.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::chrono::milliseconds kPredicateSlice{5};

}  // namespace

bool QELTestHeadlessWindow::openHeadless(OGLTSize size) {
  context_ = OGLC2DContext::make();
  if (!context_) return false;
  setSize(size);  // not running: the size is kept as given
  // Tests change what their probes show without asking for a redraw: every frame is drawn whole
  // unless a test asks for the window's own redrawing.
  setRedrawsOnRequest(false);
  OGLFInputQueueReset(queue_);
  onOpening();
  return true;
}

bool QELTestHeadlessWindow::schedule(std::function<void()> task, bool delayed, uint32_t afterMs) {
  if (!task) return false;
  std::lock_guard lock(mutex_);
  Clock::time_point due = Clock::now() + std::chrono::milliseconds(delayed ? afterMs : 0);
  tasks_.emplace(due, std::move(task));
  queued_.notify_all();
  return true;
}

size_t QELTestHeadlessWindow::pending() const {
  std::lock_guard lock(mutex_);
  return tasks_.size();
}

int QELTestHeadlessWindow::pump() {
  int ran = 0;
  // Rounds, so that work queued by work runs too; bounded, so that a task that always queues
  // another cannot hang the test.
  for (int round = 0; round < 1000; ++round) {
    std::vector<std::function<void()>> due;
    {
      std::lock_guard lock(mutex_);
      Clock::time_point now = Clock::now();
      while (!tasks_.empty() && tasks_.begin()->first <= now) {
        due.push_back(std::move(tasks_.begin()->second));
        tasks_.erase(tasks_.begin());
      }
    }
    if (due.empty()) break;
    for (auto& task : due) task();
    ran += static_cast<int>(due.size());
  }
  return ran;
}

bool QELTestHeadlessWindow::pumpUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
  Clock::time_point deadline = Clock::now() + timeout;
  while (true) {
    pump();
    if (predicate()) return true;
    std::unique_lock lock(mutex_);
    // What the predicate reads may change on another thread, which does not wake this one:
    // look again after a short slice, or at the next task when it is due sooner.
    Clock::time_point wake = std::min(deadline, Clock::now() + kPredicateSlice);
    if (!tasks_.empty() && tasks_.begin()->first < wake) wake = tasks_.begin()->first;
    if (Clock::now() >= deadline) return false;
    queued_.wait_until(lock, wake);
  }
}

void QELTestHeadlessWindow::appendRecord(const OGLTInputEvent& event) { OGLFInputQueueAppend(queue_, event); }

void QELTestHeadlessWindow::cursorEvent(OGLTPoint point, int32_t button, int32_t action, int32_t mods) {
  cursorPoint_ = point;
  OGLFInputQueuePlaceCursor(queue_, {button, action, mods, point});
}

void QELTestHeadlessWindow::key(int32_t keyCode, int32_t action, int32_t mods) {
  OGLTInputEvent event;
  std::memset(&event, 0, sizeof event);
  event.type = kOGLInputKey;
  event.key = {keyCode, 0, action, mods};
  appendRecord(event);
}

void QELTestHeadlessWindow::character(uint32_t codePoint) {
  OGLTInputEvent event;
  std::memset(&event, 0, sizeof event);
  event.type = kOGLInputCharacter;
  event.character = {codePoint};
  appendRecord(event);
}

void QELTestHeadlessWindow::scroll(OGLTPoint delta, int32_t mods) {
  OGLTInputEvent event;
  std::memset(&event, 0, sizeof event);
  event.type = kOGLInputScroll;
  event.scroll = {mods, delta};
  appendRecord(event);
}

void QELTestHeadlessWindow::joypad(const OGLTJoypadEvent& pad) {
  OGLTInputEvent event;
  std::memset(&event, 0, sizeof event);
  event.type = kOGLInputJoypad;
  event.joypad = pad;
  appendRecord(event);
}

// Takes the pass's pixels as the GL window's compositor does: only the rows that changed.
void QELTestHeadlessWindow::keepPass(std::vector<uint8_t>& pixels, bool& empty) {
  width_ = context_->pixelWidth();
  height_ = context_->pixelHeight();
  stride_ = context_->stride();
  size_t bytes = static_cast<size_t>(stride_) * static_cast<size_t>(height_);
  OGLTRowSpan rows = context_->takeChangedRows();
  // A pass that drew nothing leaves its surface untouched: it counts as empty.
  if (!context_->drawn() || !context_->pixels()) {
    if (!empty || pixels.size() != bytes) pixels.assign(bytes, 0);
    empty = true;
    return;
  }
  if (empty || pixels.size() != bytes) rows = {0, height_};
  empty = false;
  pixels.resize(bytes);
  size_t from = static_cast<size_t>(rows.top) * static_cast<size_t>(stride_);
  size_t to = static_cast<size_t>(std::max(rows.top, rows.bottom)) * static_cast<size_t>(stride_);
  std::copy(context_->pixels() + from, context_->pixels() + to, pixels.begin() + static_cast<std::ptrdiff_t>(from));
}

bool QELTestHeadlessWindow::frame(float step) {
  onAwaken();
  if (!queue_.cursorSeen) queue_.events[0].cursor = {0, kOGLActionNone, 0, cursorPoint_};
  bool asked = onInputs(queue_);
  onUpdateWithStep(step);
  OGLTSize area = size();
  if (context_->beginFrame(area.w, area.h, pixelRatio_, 0)) {
    onRenderSurfaceWithStep(step, area);
    context_->endFrame();
    keepPass(surface_, surfaceEmpty_);
  }
  onRenderContentWithStep(step, area);
  if (context_->beginFrame(area.w, area.h, pixelRatio_, 1)) {
    onRenderOverlayWithStep(step, area);
    context_->endFrame();
    keepPass(overlay_, overlayEmpty_);
  }
  onSnooze();
  OGLFInputQueueReset(queue_);
  pump();
  return asked;
}

void QELTestHeadlessWindow::beat() {
  onAwaken();
  onSnooze();
  pump();
}

void QELTestHeadlessWindow::click(OGLTPoint point, int32_t button) {
  cursorEvent(point, button, kOGLActionPress);
  frame();
  cursorEvent(point, button, kOGLActionRelease);
  frame();
}

void QELTestHeadlessWindow::drag(OGLTPoint from, OGLTPoint to, int steps) {
  cursorEvent(from, kOGLButtonLeft, kOGLActionPress);
  frame();
  for (int i = 1; i <= steps; ++i) {
    float t = static_cast<float>(i) / static_cast<float>(steps);
    cursorEvent({from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t}, kOGLButtonLeft, kOGLActionPress);
    frame();
  }
  cursorEvent(to, kOGLButtonLeft, kOGLActionRelease);
  frame();
}

void QELTestHeadlessWindow::moveTo(OGLTPoint point) {
  cursorEvent(point);
  frame();
}

std::array<uint8_t, 4> QELTestHeadlessWindow::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || surface_.empty() || overlay_.empty()) return {0, 0, 0, 0};
  size_t at = static_cast<size_t>(y) * static_cast<size_t>(stride_) + static_cast<size_t>(x) * 4;
  // Premultiplied BGRA, the overlay over the surface.
  float out[4];
  float overAlpha = overlay_[at + 3] / 255.0f;
  for (int c = 0; c < 4; ++c) out[c] = overlay_[at + c] / 255.0f + surface_[at + c] / 255.0f * (1 - overAlpha);
  float alpha = out[3];
  if (alpha <= 0) return {0, 0, 0, 0};
  auto straight = [&](float premultiplied) {
    return static_cast<uint8_t>(std::min(255.0f, premultiplied / alpha * 255.0f + 0.5f));
  };
  return {straight(out[2]), straight(out[1]), straight(out[0]), static_cast<uint8_t>(alpha * 255.0f + 0.5f)};
}

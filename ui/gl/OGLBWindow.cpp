#include "ui/gl/OGLBWindow.h"

#include <epoxy/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "framework/core/LLKCPointer.h"
#include "framework/core/LLKFLog.h"
#include "framework/core/LLKFThreadContract.h"
#include "framework/core/NRKFNumerics.h"
#include "ui/gl/OGLCPassCompositor.h"

OGLBWindow::OGLBWindow() { OGLFInputQueueReset(queue_); }

OGLBWindow::~OGLBWindow() = default;

bool OGLBWindow::startSync() {
  if (!LLKBLooper::startSync()) return false;
  return !failedToOpen_.load();
}

void OGLBWindow::onStarting() {
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);

  float sx = 1, sy = 1;
  if (GLFWmonitor* primary = glfwGetPrimaryMonitor()) glfwGetMonitorContentScale(primary, &sx, &sy);
  if (sx > 1 || sy > 1) scale_ = sx;
  float scale = scale_.load();

  fitToScreens(scale);
  GLFWwindow* window;
  {
    std::lock_guard lock(monitor_);
    int width = static_cast<int>(std::trunc(size_.w) * scale);
    int height = static_cast<int>(std::trunc(size_.h) * scale);
    window = glfwCreateWindow(width, height, title_.c_str(), nullptr, nullptr);
  }
  if (!window) {
    // Nothing could ever be drawn or closed: end the loop rather than beat for ever.
    LLKFLog("OGLBWindow : GLFW cannot create the window; the glfw3 error before this line says why");
    failedToOpen_ = true;
    stop();
    return;
  }
  glfwMakeContextCurrent(window);
  glfwSwapInterval(0);
  {
    std::lock_guard lock(monitor_);
    if (positionGiven_)
      glfwSetWindowPos(window, static_cast<int>(position_.x * scale), static_cast<int>(position_.y * scale));
  }
  window_ = window;
  installCallbacks();
  setDesiredFrameRate(30);
  context_ = OGLC2DContext::make();
  compositor_ = OGLCPassCompositor::make();
  if (context_) context_->setUserData(window);
  if (!context_ || !compositor_) LLKFLog("OGLBWindow : the 2D passes cannot be drawn");
  onOpening();
  glfwSetTime(0);
  OGLFInputQueueReset(queue_);
  bufferSizePending_ = true;
}

namespace {

// The box around the work areas of every monitor, in pixels; empty without a monitor.
OGLTRect screensArea() {
  int count = 0;
  GLFWmonitor** monitors = glfwGetMonitors(&count);
  OGLTRect area{0, 0, 0, 0};
  bool found = false;
  for (int i = 0; monitors && i < count; ++i) {
    int x = 0, y = 0, width = 0, height = 0;
    glfwGetMonitorWorkarea(monitors[i], &x, &y, &width, &height);
    if (width <= 0 || height <= 0) continue;
    OGLTRect one{static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + width),
                 static_cast<float>(y + height)};
    area = found ? OGLTRect{std::min(area.left, one.left), std::min(area.top, one.top),
                            std::max(area.right, one.right), std::max(area.bottom, one.bottom)}
                 : one;
    found = true;
  }
  return area;
}

}  // namespace

// A window asked for (a size or place kept from a larger screen, or a screen gone) opens no
// larger than the screens and, when placed, on them.
void OGLBWindow::fitToScreens(float scale) {
  const OGLTRect pixels = screensArea();
  if (pixels.right <= pixels.left || pixels.bottom <= pixels.top) return;
  const OGLTRect area{pixels.left / scale, pixels.top / scale, pixels.right / scale, pixels.bottom / scale};
  std::lock_guard lock(monitor_);
  size_ = {std::min(size_.w, area.right - area.left), std::min(size_.h, area.bottom - area.top)};
  if (!positionGiven_) return;
  position_ = {std::clamp(position_.x, area.left, area.right - size_.w),
               std::clamp(position_.y, area.top, area.bottom - size_.h)};
}

void OGLBWindow::onStopping() {
  GLFWwindow* window = window_.load();
  if (!window) return;
  onClosing();
  for (GLFWcursor*& shape : cursors_) {
    if (shape) glfwDestroyCursor(shape);
    shape = nullptr;
  }
  compositor_.reset();
  if (context_) context_->setUserData(nullptr);
  window_ = nullptr;
  glfwDestroyWindow(window);
}

namespace {

constexpr float kRestAfter = 0.25f;  // seconds without input or change
constexpr uint32_t kRestBeatMs = 250;

}  // namespace

void OGLBWindow::setDesiredFrameRate(uint32_t fps) {
  if (fps == 0) return;
  uint32_t period = 1000 / fps;
  period -= period % 2;
  uint32_t beat = 10;
  if (period <= 10) {
    divider_ = 1;
  } else {
    beat = NRKFComputeGCD(period, 10);
    divider_ = period / beat;
  }
  activeBeat_ = beat;
  if (!resting_) setBeat(beat);
}

void OGLBWindow::onBeated() {
  GLFWwindow* window = window_.load();
  if (!window) return;
  ++beats_;
  onAwaken();
  glfwPollEvents();
  pollJoypads();
  handOnFullQueues();
  // While resting, every beat is a frame.
  bool due = resting_ || beats_ >= divider_.load();
  if (due || queue_.count >= kOGLInputSlots) deliverQueue(due);
  onSnooze();
  noteRest();
  if (glfwWindowShouldClose(window)) stop();
}

// Only a window that skips unchanged frames rests: the others watch every frame. Work from
// other threads wakes a resting window for one beat and lets it rest again when it drew what
// the work changed; input, or a change that asks for the next frame too (an animation), ends
// the rest.
void OGLBWindow::noteRest() {
  bool busy = inputSeen_ || !skipsUnchanged_ || onFrameChanged();
  inputSeen_ = false;
  if (busy) {
    restTime_ = 0;
    if (resting_) {
      resting_ = false;
      setBeat(activeBeat_);
    }
    return;
  }
  if (resting_) return;
  restTime_ += static_cast<float>(beat()) / 1000;
  if (restTime_ < kRestAfter) return;
  setBeat(kRestBeatMs);
  resting_ = true;
}

// A resting window waits in GLFW, so that events wake it; work queued from other threads posts
// an empty event to end the wait, and the wait ends by itself when timed work or the next beat is
// due. Whatever ended it, the window beats at once, after the work: what changed is drawn now.
bool OGLBWindow::waitForWork(std::unique_lock<std::mutex>& lock, std::chrono::steady_clock::time_point deadline) {
  if (!resting_ || !window_.load()) return LLKBConductor::waitForWork(lock, deadline);
  using Steady = std::chrono::steady_clock;
  double seconds = 1;
  if (deadline != Steady::time_point::max())
    seconds = std::clamp(std::chrono::duration<double>(deadline - Steady::now()).count(), 0.0, 1.0);
  lock.unlock();
  glfwWaitEventsTimeout(seconds);
  lock.lock();
  return true;
}

void OGLBWindow::interruptWait() {
  if (resting_) glfwPostEmptyEvent();
}

// onInputs with the queue, then the frame (when due, asked for, or wanted anyway); the queue is
// emptied after the frame.
void OGLBWindow::deliverQueue(bool makeFrameAnyway) {
  // Without a cursor record this frame, slot 0 tells where the cursor is now (cursorSeen stays
  // false, so the hooks can tell it from a real one).
  if (!queue_.cursorSeen) queue_.events[0].cursor = {0, kOGLActionNone, 0, cursorPoint()};
  bool asked = onInputs(queue_);
  if (makeFrameAnyway || asked) makeFrame();
  OGLFInputQueueReset(queue_);
}

// Each full queue gets a frame of its own, so that what its records queued in the hooks is
// taken before the next queue comes, then a new beat begins for the records after it.
void OGLBWindow::handOnFullQueues() {
  size_t next = 0;
  while (next < backlog_.size()) {
    deliverQueue(true);
    onSnooze();
    onAwaken();
    for (; next < backlog_.size(); ++next) {
      const OGLTInputEvent& event = backlog_[next];
      bool placed = event.type == kOGLInputCursor ? OGLFInputQueuePlaceCursor(queue_, event.cursor)
                                                  : OGLFInputQueueAppend(queue_, event);
      if (!placed) break;
    }
  }
  backlog_.clear();
}

void OGLBWindow::makeFrame() {
  GLFWwindow* window = window_.load();
  double start = glfwGetTime();
  bool render = !glfwGetWindowAttrib(window, GLFW_ICONIFIED);
  willRender_ = render;
  auto step = static_cast<float>(start - lastFrameTime_);
  onUpdateWithStep(step);
  if (render && skipsUnchanged_ && !exposed_ && !bufferSizePending_ && !onFrameChanged()) render = false;
  if (render) exposed_ = false;
  float renderTime = 0, preSwap = 0, postSwap = 0;
  if (render) {
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    width = std::max(width, 1);
    height = std::max(height, 1);
    float scale = scale_.load();
    OGLTSize logical{static_cast<float>(width) / scale, static_cast<float>(height) / scale};
    bounds_[2] = logical.w;
    bounds_[3] = logical.h;
    if (bufferSizePending_) {
      onSizeChangedForBuffer(logical);
      bufferSizePending_ = false;
    }
    glViewport(0, 0, width, height);
    glClearColor(clearColor_[0], clearColor_[1], clearColor_[2], 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    double t0 = glfwGetTime();
    onRenderWithStep(step, logical);
    renderTime = static_cast<float>(glfwGetTime() - t0);
    preSwap = static_cast<float>(glfwGetTime() - start);
    glfwSwapBuffers(window);
    postSwap = static_cast<float>(glfwGetTime() - start);
    double t1 = glfwGetTime();
    onShownWithStep(step);
    renderTime += static_cast<float>(glfwGetTime() - t1);
  }
  stats_[0] = step;
  stats_[1] = renderTime;
  stats_[2] = preSwap;
  stats_[3] = postSwap;
  beats_ = 0;
  lastFrameTime_ = start;
}

void OGLBWindow::onRenderWithStep(float step, const OGLTSize& size) {
  if (!context_) return;
  float scale = scale_.load();
  if (context_->beginFrame(size.w, size.h, scale, 0)) {
    onRenderSurfaceWithStep(step, size);
    context_->endFrame();
    if (compositor_) compositor_->compose(*context_, 0);
  }
  onRenderContentWithStep(step, size);
  if (context_->beginFrame(size.w, size.h, scale, 1)) {
    onRenderOverlayWithStep(step, size);
    context_->endFrame();
    if (compositor_) compositor_->compose(*context_, 1);
  }
}

void OGLBWindow::getRenderingStats(float stats[4]) const {
  if (!stats) return;
  for (int i = 0; i < 4; ++i) stats[i] = stats_[i].load();
}

OGLTRect OGLBWindow::bounds() const { return {bounds_[0], bounds_[1], bounds_[2], bounds_[3]}; }

void OGLBWindow::getClearColor(float color[4]) const {
  if (!color) return;
  for (int i = 0; i < 4; ++i) color[i] = clearColor_[i].load();
}

void OGLBWindow::setClearColor(const float color[4]) {
  if (!color) return;
  for (int i = 0; i < 4; ++i) clearColor_[i] = color[i];
}

bool OGLBWindow::sendValue(uint32_t uid, uint32_t ctx, void* value) const {
  Ref<LLKCPointer> pointer = LLKCPointer::pointerWithAddress(value);
  Ref<LLKCMessage> message = pointer ? LLKCMessage::messageWithCode(LLKTMessageCode{uid, 0, ctx}, pointer) : nullptr;
  return message && const_cast<OGLBWindow*>(this)->send(message);
}

// Every thread-aware property takes one of three ways: on the window's thread, GLFW directly
// while the window is open; from another thread while the window runs, the value travels to
// the window's thread and back; otherwise (or when it cannot travel) the cached copy, under the
// monitor. A property without a direct way (nullptr) reads or keeps its cached copy on the
// window's thread too.
template <typename T, typename Direct, typename Cached>
T OGLBWindow::readProperty(uint32_t uid, Direct direct, Cached cached) const {
  T value{};
  if (onOwnThread()) {
    if constexpr (!std::is_null_pointer_v<Direct>)
      if (GLFWwindow* window = window_.load()) return direct(window);
  } else if (reachable() && sendValue(uid, kOGLSendRead, &value)) {
    return value;
  }
  std::lock_guard lock(monitor_);
  return cached();
}

template <typename T, typename Direct, typename Cached>
void OGLBWindow::writeProperty(uint32_t uid, T value, Direct direct, Cached cached) {
  if (onOwnThread()) {
    if (GLFWwindow* window = window_.load()) {
      direct(window, value);
      return;
    }
  } else if (reachable() && sendValue(uid, kOGLSendWrite, &value)) {
    return;
  }
  std::lock_guard lock(monitor_);
  cached(value);
}

// Commands: at once on the window's thread (while the window is open), as a flash from another
// thread while the window runs, and dropped otherwise.
void OGLBWindow::command(uint64_t code) {
  if (onOwnThread()) applyCommand(code);
  else if (reachable()) flash(code);
}

void OGLBWindow::applyCommand(uint64_t code) {
  GLFWwindow* window = window_.load();
  if (!window) return;
  switch (code) {
    case kOGLFlashShow:
      onShowing();
      glfwShowWindow(window);
      exposed_ = true;
      break;
    case kOGLFlashHide:
      onHiding();
      glfwHideWindow(window);
      break;
    case kOGLFlashTitle:
      glfwSetWindowTitle(window, title().c_str());
      break;
    case kOGLFlashIconify:
      glfwIconifyWindow(window);
      break;
    case kOGLFlashRestore:
      glfwRestoreWindow(window);
      break;
    default:
      break;
  }
}

void OGLBWindow::onFlashed(uint64_t code) { applyCommand(code); }

void OGLBWindow::show() { command(kOGLFlashShow); }

void OGLBWindow::hide() { command(kOGLFlashHide); }

void OGLBWindow::iconify() { command(kOGLFlashIconify); }

void OGLBWindow::restore() { command(kOGLFlashRestore); }

void OGLBWindow::setTitle(const char* title) {
  if (!title) return;
  {
    std::lock_guard lock(monitor_);
    title_ = title;
  }
  command(kOGLFlashTitle);
}

std::string OGLBWindow::title() const {
  std::lock_guard lock(monitor_);
  return title_;
}

OGLTSize OGLBWindow::size() const {
  return readProperty<OGLTSize>(
      kOGLSendSize,
      [this](GLFWwindow* window) {
        int width = 0, height = 0;
        glfwGetWindowSize(window, &width, &height);
        return OGLTSize{static_cast<float>(width) / scale(), static_cast<float>(height) / scale()};
      },
      [this] { return size_; });
}

void OGLBWindow::setSize(OGLTSize size) {
  writeProperty(
      kOGLSendSize, size,
      [this](GLFWwindow* window, OGLTSize wanted) {
        glfwSetWindowSize(window, static_cast<int>(wanted.w * scale()), static_cast<int>(wanted.h * scale()));
      },
      [this](OGLTSize wanted) { size_ = wanted; });
}

OGLTPoint OGLBWindow::position() const {
  return readProperty<OGLTPoint>(kOGLSendPosition, nullptr, [this] { return position_; });
}

// The position and frame are kept on the window's thread too (the window is placed there when
// it opens), then applied.
void OGLBWindow::setPosition(OGLTPoint position) {
  auto keep = [this](OGLTPoint wanted) {
    position_ = wanted;
    positionGiven_ = true;
  };
  writeProperty(
      kOGLSendPosition, position,
      [this, keep](GLFWwindow* window, OGLTPoint wanted) {
        std::lock_guard lock(monitor_);
        keep(wanted);
        glfwSetWindowPos(window, static_cast<int>(wanted.x * scale()), static_cast<int>(wanted.y * scale()));
      },
      keep);
}

OGLTRect OGLBWindow::frame() const {
  return readProperty<OGLTRect>(
      kOGLSendFrame,
      [this](GLFWwindow* window) {
        int x = 0, y = 0, width = 0, height = 0;
        glfwGetWindowPos(window, &x, &y);
        glfwGetWindowSize(window, &width, &height);
        float s = scale();
        return OGLTRect{static_cast<float>(x) / s, static_cast<float>(y) / s, static_cast<float>(x + width) / s,
                        static_cast<float>(y + height) / s};
      },
      [this] {
        return OGLTRect{position_.x, position_.y, position_.x + size_.w, position_.y + size_.h};
      });
}

void OGLBWindow::setFrame(OGLTRect frame) {
  auto keep = [this](const OGLTRect& wanted) {
    position_ = {wanted.left, wanted.top};
    size_ = {wanted.right - wanted.left, wanted.bottom - wanted.top};
    positionGiven_ = true;
  };
  writeProperty(
      kOGLSendFrame, frame,
      [this, keep](GLFWwindow* window, const OGLTRect& wanted) {
        std::lock_guard lock(monitor_);
        keep(wanted);
        float s = scale();
        glfwSetWindowPos(window, static_cast<int>(wanted.left * s), static_cast<int>(wanted.top * s));
        glfwSetWindowSize(window, static_cast<int>(size_.w * s), static_cast<int>(size_.h * s));
      },
      keep);
}

// Visible, focused and iconified: the GLFW attribute on the window's thread, asked there from
// other threads, and no while the window does not run.
static bool windowAttribute(GLFWwindow* window, int attribute) {
  return window && glfwGetWindowAttrib(window, attribute) != 0;
}

bool OGLBWindow::attribute(uint32_t uid, int glfwAttribute) const {
  return readProperty<bool>(
      uid, [glfwAttribute](GLFWwindow* window) { return windowAttribute(window, glfwAttribute); },
      [] { return false; });
}

bool OGLBWindow::isVisible() const { return attribute(kOGLSendVisible, GLFW_VISIBLE); }

bool OGLBWindow::hasInputFocus() const { return attribute(kOGLSendFocused, GLFW_FOCUSED); }

bool OGLBWindow::isIconified() const { return attribute(kOGLSendIconified, GLFW_ICONIFIED); }

uint32_t OGLBWindow::cursor() const {
  return readProperty<uint32_t>(kOGLSendCursor, nullptr, [this] { return cursorIndex_; });
}

void OGLBWindow::setCursor(uint32_t index) {
  if (index >= kOGLCursorCount) return;
  writeProperty(
      kOGLSendCursor, index, [this](GLFWwindow*, uint32_t wanted) { applyCursor(wanted); },
      [this](uint32_t wanted) { cursorIndex_ = wanted; });
}

void OGLBWindow::applyCursor(uint32_t index) {
  std::lock_guard lock(monitor_);
  if (index >= kOGLCursorCount || index == cursorIndex_) return;
  if (GLFWwindow* window = window_.load()) {
    if (!cursors_[index]) cursors_[index] = glfwCreateStandardCursor(static_cast<int>(GLFW_ARROW_CURSOR + index));
    if (!cursors_[index]) return;
    glfwSetCursor(window, cursors_[index]);
  }
  cursorIndex_ = index;
}

bool OGLBWindow::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message || message->tag() != 0) return false;
  uint32_t ctx = message->ctx();
  Ref<LLKCPointer> pointer = message->payloadAs<LLKCPointer>();
  if (!pointer || !pointer->address() || (ctx != kOGLSendRead && ctx != kOGLSendWrite)) return false;
  void* value = pointer->address();
  bool read = ctx == kOGLSendRead;
  switch (message->uid()) {
    case kOGLSendSize:
      if (read) *static_cast<OGLTSize*>(value) = size();
      else setSize(*static_cast<OGLTSize*>(value));
      return true;
    case kOGLSendPosition:
      if (read) *static_cast<OGLTPoint*>(value) = position();
      else setPosition(*static_cast<OGLTPoint*>(value));
      return true;
    case kOGLSendVisible:
    case kOGLSendFocused:
    case kOGLSendIconified:
      if (read) {
        int attribute = message->uid() == kOGLSendVisible   ? GLFW_VISIBLE
                        : message->uid() == kOGLSendFocused ? GLFW_FOCUSED
                                                            : GLFW_ICONIFIED;
        *static_cast<bool*>(value) = windowAttribute(window_.load(), attribute);
      }
      return true;
    case kOGLSendFrame:
      if (read) *static_cast<OGLTRect*>(value) = frame();
      else setFrame(*static_cast<OGLTRect*>(value));
      return true;
    case kOGLSendCursor:
      if (read) *static_cast<uint32_t*>(value) = cursor();
      else applyCursor(*static_cast<uint32_t*>(value));
      return true;
    default:
      return false;
  }
}

bool OGLBWindow::enableJoypadInput(int id) {
  LLKF_EXPECT_THREAD(onOwnThread(), "joypads: window thread only");
  if (id < 0 || id >= 16 || !joypads_[id].present) return false;
  joypads_[id].enabled = true;
  return true;
}

bool OGLBWindow::disableJoypadInput(int id) {
  LLKF_EXPECT_THREAD(onOwnThread(), "joypads: window thread only");
  if (id < 0 || id >= 16 || !joypads_[id].present) return false;
  joypads_[id].enabled = false;
  return true;
}

void OGLBWindow::setJoypadAxes(int id, const float* zeroes, const float* slips) {
  LLKF_EXPECT_THREAD(onOwnThread(), "joypads: window thread only");
  if (id < 0 || id >= 16 || !joypads_[id].present || !zeroes || !slips) return;
  OGLTJoypad& pad = joypads_[id];
  for (uint32_t k = 0; k < pad.axisCount && k < kOGLJoypadAxes; ++k) pad.axes[k] = {slips[k], zeroes[k]};
}

void OGLBWindow::setJoypadAxis(int id, int axis, float zero, float slip) {
  LLKF_EXPECT_THREAD(onOwnThread(), "joypads: window thread only");
  if (id < 0 || id >= 16 || !joypads_[id].present || axis < 0) return;
  OGLTJoypad& pad = joypads_[id];
  if (static_cast<uint32_t>(axis) < pad.axisCount && axis < kOGLJoypadAxes) pad.axes[axis] = {slip, zero};
}

// The GL window in a real X server (Xvfb when no display is set): frames at the wanted rate,
// the three passes read back from the framebuffer, input records from real X events, the
// clipboard, and properties asked from another thread.
#include <gtest/gtest.h>

#include <epoxy/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/gl/OGLTestXResources.h"
#include "tests/gl/OGLTestXServer.h"
#include "tests/support/OutputCapture.h"
#include "ui/gl/OGLBWindow.h"
#include "ui/gl/OGLF.h"
#include "ui/gl/OGLF2D.h"

namespace {

using namespace std::chrono_literals;

// A window whose hooks tests fill in; it records what it saw under a lock.
class TestWindow : public OGLBWindow {
public:
  static Ref<TestWindow> make() { return adoptRef(new TestWindow()); }

  std::function<void(float, const OGLTSize&)> surface, content, overlay;
  std::function<void()> afterRender;  // on the window's thread, before the swap
  std::function<void()> shown;
  std::function<bool()> mayClose;
  std::function<void()> awaken;  // on the window's thread at every beat, before its poll

  // Waits until the predicate holds (checked under the lock after every frame).
  bool waitFor(const std::function<bool()>& predicate, std::chrono::seconds timeout = 20s) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, predicate);
  }
  // Asks the check (outside the lock, so it may talk to the window) once per frame until it
  // holds, for at most a few hundred frames.
  bool eventually(const std::function<bool()>& check) {
    for (int attempt = 0; attempt < 300; ++attempt) {
      if (check()) return true;
      int seen;
      {
        std::lock_guard lock(mutex);
        seen = frames;
      }
      if (!waitFor([&] { return frames > seen; })) return false;
    }
    return false;
  }

  std::mutex mutex;
  std::condition_variable changed;
  int frames = 0;
  int awakens = 0;
  std::vector<int> awakensPerFrame;
  std::vector<OGLTInputEvent> inputs;
  bool opened = false;
  int closeRequests = 0;
  bool closed = false;

protected:
  void onOpening() override {
    std::lock_guard lock(mutex);
    opened = true;
  }
  bool onMayClose() override {
    bool may = !mayClose || mayClose();
    std::lock_guard lock(mutex);
    ++closeRequests;
    changed.notify_all();
    return may;
  }
  void onClosing() override {
    std::lock_guard lock(mutex);
    closed = true;
    changed.notify_all();
  }
  void onAwaken() override {
    if (awaken) awaken();
    std::lock_guard lock(mutex);
    ++awakens;
  }
  bool onInputs(OGLTInputQueue& queue) override {
    std::lock_guard lock(mutex);
    for (uint32_t i = 0; i < queue.count; ++i) {
      const OGLTInputEvent& event = queue.events[i];
      // Slot 0 is refreshed with a plain motion record every frame; keep only real events.
      if (i == 0 && !queue.cursorSeen) continue;
      inputs.push_back(event);
    }
    return false;
  }
  void onUpdateWithStep(float) override {
    std::lock_guard lock(mutex);
    awakensPerFrame.push_back(awakens);
    awakens = 0;
  }
  void onRenderSurfaceWithStep(float step, const OGLTSize& size) override {
    if (surface) surface(step, size);
  }
  void onRenderContentWithStep(float step, const OGLTSize& size) override {
    if (content) content(step, size);
  }
  void onRenderOverlayWithStep(float step, const OGLTSize& size) override {
    if (overlay) overlay(step, size);
  }
  void onRenderWithStep(float step, const OGLTSize& size) override {
    OGLBWindow::onRenderWithStep(step, size);
    if (afterRender) afterRender();
  }
  void onShownWithStep(float) override {
    if (shown) shown();
    std::lock_guard lock(mutex);
    ++frames;
    changed.notify_all();
  }
};

class GLWindow : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(OGLFInit());
    window = TestWindow::make();
  }
  void TearDown() override {
    window.reset();
    OGLFExit();
  }
  // Runs the window on this thread while the driver runs on another; the driver's end closes it.
  void run(const std::function<void()>& driver) {
    std::thread helper([&] {
      driver();
      window->stop();
    });
    bool ran = window->startSync();
    helper.join();
    EXPECT_TRUE(ran);
  }
  Ref<TestWindow> window;
};

void fill(OGLC2DContext* ctx, float x, float y, float w, float h, OGLTColor color) {
  OGLF2DPathBegin(ctx);
  OGLF2DPathRect(ctx, x, y, w, h);
  OGLF2DPathFillColor(ctx, &color);
  OGLF2DPathFill(ctx);
}

TEST(OGLBWindowRate, BeatAndDividerFollowTheWantedRate) {
  struct Probe : OGLBWindow {
    static Ref<Probe> make() { return adoptRef(new Probe()); }
  };
  Ref<Probe> probe = Probe::make();
  struct Case {
    uint32_t fps, beat, divider;
  } cases[] = {{30, 2, 16}, {60, 2, 8}, {20, 10, 5}, {7, 2, 71}, {100, 10, 1}, {1000, 10, 1}, {1, 10, 100}};
  for (const Case& c : cases) {
    probe->setDesiredFrameRate(c.fps);
    EXPECT_EQ(probe->beat(), c.beat) << c.fps;
    EXPECT_EQ(probe->frameDivider(), c.divider) << c.fps;
  }
  probe->setDesiredFrameRate(0);
  EXPECT_EQ(probe->frameDivider(), 100u);
}

TEST_F(GLWindow, FramesComeEveryDividerBeats) {
  run([&] { EXPECT_TRUE(window->waitFor([&] { return window->frames >= 12; })); });
  std::lock_guard lock(window->mutex);
  ASSERT_GE(window->awakensPerFrame.size(), 12u);
  // The first frame may come early; after it every frame waits its 16 beats of 2 ms.
  for (size_t i = 2; i < window->awakensPerFrame.size(); ++i) EXPECT_EQ(window->awakensPerFrame[i], 16) << i;
  float stats[4];
  window->getRenderingStats(stats);
  EXPECT_GT(stats[0], 0);
  EXPECT_LE(stats[2], stats[3]);
}

// The surface pass lies below the raw GL content, the overlay above it; the clear colour shows
// where nothing was drawn.
TEST_F(GLWindow, PassesAreComposedInOrder) {
  const float clear[4] = {0, 0, 1, 1};
  window->setClearColor(clear);
  window->surface = [&](float, const OGLTSize&) { fill(window->context(), 10, 10, 100, 100, {1, 0, 0, 1}); };
  window->content = [&](float, const OGLTSize&) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(60, 480 - 160, 100, 100);  // GL rows count from the bottom
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
  };
  window->overlay = [&](float, const OGLTSize&) { fill(window->context(), 100, 100, 100, 100, {1, 1, 1, 0.5f}); };
  std::vector<unsigned char> pixels;
  int width = 0, height = 0;
  window->afterRender = [&] {
    std::lock_guard lock(window->mutex);
    if (window->frames != 3) return;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    width = viewport[2];
    height = viewport[3];
    pixels.resize(static_cast<size_t>(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  };
  run([&] { EXPECT_TRUE(window->waitFor([&] { return window->frames >= 5; })); });
  ASSERT_EQ(width, 640);
  ASSERT_EQ(height, 480);
  auto at = [&](int x, int y) {
    const unsigned char* p = &pixels[(static_cast<size_t>(height - 1 - y) * width + x) * 4];
    return std::vector<int>{p[0], p[1], p[2]};
  };
  EXPECT_EQ(at(20, 20), (std::vector<int>{255, 0, 0}));    // surface only
  EXPECT_EQ(at(80, 80), (std::vector<int>{0, 255, 0}));    // content over surface
  EXPECT_EQ(at(300, 300), (std::vector<int>{0, 0, 255}));  // clear colour
  std::vector<int> blended = at(180, 180);                 // half white over the clear colour
  EXPECT_NEAR(blended[0], 128, 3);
  EXPECT_NEAR(blended[2], 255, 3);
  std::vector<int> overContent = at(120, 120);  // half white over the content's green
  EXPECT_NEAR(overContent[0], 128, 3);
  EXPECT_NEAR(overContent[1], 255, 3);
}

TEST_F(GLWindow, ClipboardRoundTripsThroughTheWindow) {
  std::string read;
  bool done = false;
  window->shown = [&] {
    if (done) return;
    OGLFSetClipboard(window->context(), "vesko \xE2\x98\x83");
    const char* text = OGLFGetClipboard(window->context());
    read = text ? text : "";
    done = true;
  };
  run([&] { EXPECT_TRUE(window->waitFor([&] { return window->frames >= 2; })); });
  EXPECT_EQ(read, "vesko \xE2\x98\x83");
  EXPECT_EQ(OGLFGetClipboard(nullptr), nullptr);
}

TEST_F(GLWindow, PropertiesAnswerFromEveryThread) {
  // Not running: the cache.
  window->setSize({320, 200});
  window->setPosition({12, 34});
  window->setTitle("before");
  window->setTitle(nullptr);
  EXPECT_EQ(window->size().w, 320);
  EXPECT_EQ(window->title(), "before");
  EXPECT_FALSE(window->isVisible());
  window->setCursor(2);
  EXPECT_EQ(window->cursor(), 2u);

  bool onWindowThreadVisible = false;
  window->shown = [&] { onWindowThreadVisible = window->isVisible(); };
  run([&] {
    ASSERT_TRUE(window->waitFor([&] { return window->frames >= 2; }));
    EXPECT_EQ(window->size().w, 320);
    EXPECT_EQ(window->size().h, 200);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isIconified());
    window->setTitle("after");
    EXPECT_EQ(window->title(), "after");
    window->setSize({400, 300});
    EXPECT_TRUE(window->eventually([&] { return window->size().w == 400; }));
    window->setCursor(3);
    EXPECT_EQ(window->cursor(), 3u);
    window->setCursor(6);
    EXPECT_EQ(window->cursor(), 3u);
    OGLTRect frame = window->frame();
    EXPECT_EQ(frame.right - frame.left, 400);
  });
  EXPECT_TRUE(onWindowThreadVisible);
  // Stopped: the cache again, and no window to ask.
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->title(), "after");
}

// Real X events through xdotool: motion, a click and typed characters become records.
TEST_F(GLWindow, RealXEventsBecomeInputRecords) {
  if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool is not installed";
  std::string title = "vesko-input-" + std::to_string(getpid());
  window->setTitle(title.c_str());
  window->setPosition({0, 0});
  run([&] {
    ASSERT_TRUE(window->waitFor([&] { return window->frames >= 2; }));
    std::string command = "xdotool search --sync --name '^" + title +
                          "$' windowfocus --sync mousemove --window %1 30 40 sleep 0.3 click 1 sleep 0.3 type " +
                          kOGLTestTypeDelay + " ab";
    EXPECT_EQ(std::system(command.c_str()), 0);
    bool complete = window->waitFor([&] {
      bool character = false, key = false, press = false;
      for (const OGLTInputEvent& e : window->inputs) {
        character = character || (e.type == kOGLInputCharacter && e.character.codePoint == 'b');
        key = key || (e.type == kOGLInputKey && e.key.key == 'A' && e.key.action == kOGLActionPress);
        press = press || (e.type == kOGLInputCursor && e.cursor.button == kOGLButtonLeft && e.cursor.action == kOGLActionPress);
      }
      return character && key && press;
    });
    EXPECT_TRUE(complete);
  });
  std::lock_guard lock(window->mutex);
  bool sawPoint = false;
  for (const OGLTInputEvent& e : window->inputs) {
    if (e.type == kOGLInputCursor && e.cursor.button == kOGLButtonLeft && e.cursor.action == kOGLActionPress) {
      EXPECT_NEAR(e.cursor.point.x, 30, 1);
      EXPECT_NEAR(e.cursor.point.y, 40, 1);
      sawPoint = true;
    }
  }
  EXPECT_TRUE(sawPoint);
}

// A thousand key records in one poll, as a paste by the window system brings them: the window's
// own key callback is called a thousand times before the beat polls. Every record reaches
// onInputs, in order, eight slots at a time.
TEST_F(GLWindow, AThousandKeyRecordsOfOnePollReachOnInputsAllInOrder) {
  constexpr int kRecords = 1000;
  bool injected = false;
  window->awaken = [&] {
    if (injected) return;
    injected = true;
    GLFWwindow* handle = window->glfwHandle();
    GLFWkeyfun installed = glfwSetKeyCallback(handle, nullptr);
    glfwSetKeyCallback(handle, installed);
    ASSERT_NE(installed, nullptr);
    for (int i = 0; i < kRecords; ++i) installed(handle, GLFW_KEY_A + i % 26, i, GLFW_PRESS, 0);
  };
  auto keys = [&] {
    std::vector<OGLTInputEvent> found;
    for (const OGLTInputEvent& e : window->inputs)
      if (e.type == kOGLInputKey) found.push_back(e);
    return found;
  };
  run([&] { EXPECT_TRUE(window->waitFor([&] { return keys().size() >= kRecords; })); });
  std::lock_guard lock(window->mutex);
  std::vector<OGLTInputEvent> got = keys();
  ASSERT_EQ(got.size(), static_cast<size_t>(kRecords));
  for (int i = 0; i < kRecords; ++i) {
    EXPECT_EQ(got[i].key.scancode, i);
    EXPECT_EQ(got[i].key.key, GLFW_KEY_A + i % 26);
    if (got[i].key.scancode != i) break;
  }
}

// With a content scale of 2 the window has twice the pixels, and cursor records still come in
// the logical units of widget frames. The scale comes from the X server's Xft.dpi resource,
// which is only changed on a server of our own.
TEST(WindowAtScale, CursorPointsAreLogical) {
  if (!OGLTestOwnsServer()) GTEST_SKIP() << "needs an X server of its own";
  if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool is not installed";
  OGLTestXResources resources("Xft.dpi:\t192\n");
  ASSERT_TRUE(resources.applied());
  ASSERT_TRUE(OGLFInit());
  {
    Ref<TestWindow> window = TestWindow::make();
    std::string title = "vesko-scale-" + std::to_string(getpid());
    window->setTitle(title.c_str());
    window->setSize({200, 150});
    int width = 0;
    window->afterRender = [&] {
      GLint viewport[4];
      glGetIntegerv(GL_VIEWPORT, viewport);
      std::lock_guard lock(window->mutex);
      width = viewport[2];
    };
    std::thread helper([&] {
      if (window->waitFor([&] { return window->frames >= 2; })) {
        std::string command =
            "xdotool search --sync --name '^" + title + "$' mousemove --window %1 100 80 sleep 0.1 click 1";
        EXPECT_EQ(std::system(command.c_str()), 0);
        EXPECT_TRUE(window->waitFor([&] {
          for (const OGLTInputEvent& e : window->inputs)
            if (e.type == kOGLInputCursor && e.cursor.button == kOGLButtonLeft && e.cursor.action == kOGLActionPress) return true;
          return false;
        }));
      }
      window->stop();
    });
    EXPECT_TRUE(window->startSync());
    helper.join();
    EXPECT_EQ(window->scale(), 2);
    std::lock_guard lock(window->mutex);
    EXPECT_EQ(width, 400);
    bool pressed = false;
    for (const OGLTInputEvent& e : window->inputs) {
      if (e.type != kOGLInputCursor || e.cursor.button != kOGLButtonLeft || e.cursor.action != kOGLActionPress) continue;
      pressed = true;
      EXPECT_NEAR(e.cursor.point.x, 50, 1);
      EXPECT_NEAR(e.cursor.point.y, 40, 1);
    }
    EXPECT_TRUE(pressed);
  }
  OGLFExit();
}

// A key held down in the X server reads as pressed through the context, and motion carries
// the modifiers held at that moment.
TEST_F(GLWindow, HeldKeysAreSeenThroughTheContext) {
  if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool is not installed";
  std::string title = "vesko-keys-" + std::to_string(getpid());
  window->setTitle(title.c_str());
  int shiftAction = 0, letterAction = 0;
  window->shown = [&] {
    std::lock_guard lock(window->mutex);
    shiftAction = std::max(shiftAction, OGLFGetKeyAction(window->context(), kOGLKeyLeftShift));
    letterAction = std::max(letterAction, OGLFGetKeyAction(window->context(), 'Q'));
  };
  run([&] {
    ASSERT_TRUE(window->waitFor([&] { return window->frames >= 2; }));
    std::string press = "xdotool search --sync --name '^" + title +
                        "$' windowfocus --sync mousemove --window %1 20 20 keydown shift mousemove --window %1 30 30";
    EXPECT_EQ(std::system(press.c_str()), 0);
    EXPECT_TRUE(window->waitFor([&] {
      for (const OGLTInputEvent& e : window->inputs)
        if (e.type == kOGLInputCursor && (e.cursor.mods & kOGLModShift)) return shiftAction == 2;
      return false;
    }));
    EXPECT_EQ(std::system("xdotool keyup shift"), 0);
  });
  EXPECT_EQ(shiftAction, 2);
  EXPECT_EQ(letterAction, 1);
  EXPECT_EQ(OGLFGetKeyAction(nullptr, kOGLKeyLeftShift), 1);
}

// A close request asks onMayClose: refused, the window goes on; granted, the loop ends.
TEST_F(GLWindow, CloseRequestsAskTheWindowFirst) {
  if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool is not installed";
  std::string title = "vesko-close-" + std::to_string(getpid());
  window->setTitle(title.c_str());
  bool granted = false;
  window->mayClose = [&] {
    std::lock_guard lock(window->mutex);
    return granted;
  };
  std::thread helper([&] {
    bool ended = false;
    if (window->waitFor([&] { return window->frames >= 2; }) && OGLTestRequestClose(title) &&
        window->waitFor([&] { return window->closeRequests == 1; })) {
      int seen;
      {
        std::lock_guard lock(window->mutex);
        seen = window->frames;
        granted = true;
      }
      // Refused: frames go on.
      EXPECT_TRUE(window->waitFor([&] { return window->frames >= seen + 3; }));
      ended = OGLTestRequestClose(title) && window->waitFor([&] { return window->closed; });
    }
    EXPECT_TRUE(ended);
    if (!ended) window->stop();
  });
  EXPECT_TRUE(window->startSync());
  helper.join();
  EXPECT_EQ(window->closeRequests, 2);
}

TEST_F(GLWindow, AWindowThatCannotBeMadeEndsTheLoop) {
  OutputCapture log;
  window->setSize({0, 0});  // GLFW refuses a window without area
  EXPECT_FALSE(window->startSync());
  EXPECT_TRUE(window->failedToOpen());
  EXPECT_TRUE(log.sawText("GLFW cannot create the window")) << log.text();
}

}  // namespace

// The software GL driver's worker threads race on the driver's own memory when a context goes;
// the thread sanitizer would report those as ours.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

int main(int argc, char** argv) {
  // Keep the software GL driver loaded to the end: unloaded when GLFW stops, it would leave
  // the blocks it keeps for the process's lifetime unreachable, and the leak checker would
  // count them against us.
  dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
  ::testing::InitGoogleTest(&argc, argv);
  if (!GTEST_FLAG_GET(list_tests) && !OGLTestEnsureDisplay()) {
    std::fprintf(stderr, "no X display and no Xvfb to start\n");
    return 1;
  }
  return RUN_ALL_TESTS();
}

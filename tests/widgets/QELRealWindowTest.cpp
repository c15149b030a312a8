// The example scene in a real window under X (Xvfb when no display is set): pixels read back
// from the framebuffer, and real X input through xdotool for clicks, scrolls, drags, edge
// resizing, roll-up and close.
#include <gtest/gtest.h>

#include <cairo.h>
#include <epoxy/gl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/gl/OGLTestXServer.h"
#include "tests/widgets/QELControlTestKit.h"
#include "tests/widgets/example/QELExampleScene.h"
#include "framework/core/LLKCObjectList.h"
#include "framework/core/LLKCString.h"
#include "ui/widgets/QELBBoard.h"
#include "ui/widgets/QELBCollectionbox.h"
#include "ui/widgets/QELBCombobox.h"
#include "ui/widgets/QELBDropbox.h"
#include "ui/widgets/QELBMenu.h"
#include "ui/widgets/QELBMenuItem.h"
#include "ui/widgets/QELBMenuList.h"
#include "ui/widgets/QELBPickDialog.h"
#include "ui/widgets/QELBSelector.h"
#include "ui/widgets/QELBTextbox.h"
#include "ui/widgets/QELBWindow.h"

namespace {

using namespace std::chrono_literals;

class SceneWindow : public QELBWindow {
public:
  static Ref<SceneWindow> make() { return adoptRef(new SceneWindow()); }

  // Runs the task on the window's thread and waits for it.
  bool onWindow(const std::function<void()>& task) {
    std::mutex doneMutex;
    std::condition_variable doneChanged;
    bool done = false;
    if (!sched([&] {
          task();
          std::lock_guard lock(doneMutex);
          done = true;
          doneChanged.notify_all();
        }))
      return false;
    std::unique_lock lock(doneMutex);
    return doneChanged.wait_for(lock, 20s, [&] { return done; });
  }
  // Asks the check on the window's thread after frames until it holds.
  bool eventually(const std::function<bool()>& check) {
    for (int attempt = 0; attempt < 200; ++attempt) {
      bool holds = false;
      if (!onWindow([&] { holds = check(); })) return false;
      if (holds) return true;
      waitFrames(1);
    }
    return false;
  }
  bool waitFrames(int count) {
    std::unique_lock lock(mutex_);
    int target = frames_ + count;
    return changed_.wait_for(lock, 20s, [&] { return frames_ >= target; });
  }
  // RGB of a window pixel in the last frame drawn after the call.
  std::vector<int> pixel(int x, int y) {
    {
      std::lock_guard lock(mutex_);
      capture_ = true;
    }
    waitFrames(2);
    std::lock_guard lock(mutex_);
    if (pixels_.empty() || x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    const unsigned char* p = &pixels_[(static_cast<size_t>(height_ - 1 - y) * width_ + x) * 4];
    return {p[0], p[1], p[2]};
  }

  // RGB of the pixels of a window column from top to bottom (excluded) in one frame drawn after
  // the call.
  std::vector<std::vector<int>> column(int x, int top, int bottom) {
    std::vector<std::vector<int>> rgb;
    pixel(x, top);
    std::lock_guard lock(mutex_);
    for (int y = top; y < bottom && x >= 0 && x < width_ && y >= 0 && y < height_; ++y) {
      const unsigned char* p = &pixels_[(static_cast<size_t>(height_ - 1 - y) * width_ + x) * 4];
      rgb.push_back({p[0], p[1], p[2]});
    }
    return rgb;
  }

  // Writes the last captured frame as a PNG beside the test program (in the build folder).
  bool saveScreenshot(const std::string& name) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error).parent_path() / name;
    std::lock_guard lock(mutex_);
    if (pixels_.empty()) return false;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
    cairo_surface_flush(image);
    unsigned char* out = cairo_image_surface_get_data(image);
    int stride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        const unsigned char* p = &pixels_[(static_cast<size_t>(height_ - 1 - y) * width_ + x) * 4];
        auto* q = reinterpret_cast<uint32_t*>(out + static_cast<size_t>(y) * stride) + x;
        *q = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
      }
    cairo_surface_mark_dirty(image);
    bool written = cairo_surface_write_to_png(image, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(image);
    return written;
  }

  QELExampleScene scene;

protected:
  void onOpening() override {
    QELBWindow::onOpening();
    scene = QELFExampleSceneMake(this);
  }
  void onClosing() override {
    QELBWindow::onClosing();
    scene = QELExampleScene{};
  }
  void onRenderWithStep(float step, const OGLTSize& size) override {
    QELBWindow::onRenderWithStep(step, size);
    std::lock_guard lock(mutex_);
    if (!capture_) return;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    width_ = viewport[2];
    height_ = viewport[3];
    pixels_.resize(static_cast<size_t>(width_) * height_ * 4);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
  }
  void onShownWithStep(float) override {
    std::lock_guard lock(mutex_);
    ++frames_;
    changed_.notify_all();
  }

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int frames_ = 0;
  bool capture_ = false;
  std::vector<unsigned char> pixels_;
  int width_ = 0, height_ = 0;
};

bool hasXdotool() { return std::system("command -v xdotool >/dev/null 2>&1") == 0; }

class RealWindow : public ::testing::Test {
protected:
  void SetUp() override {
    window = SceneWindow::make();
    title = "vesko-widgets-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    window->setTitle(title.c_str());
    window->setSize({640, 480});
    window->setPosition({0, 0});
  }
  void TearDown() override { window.reset(); }
  // Runs the window on this thread while the driver runs on another.
  void run(const std::function<void()>& driver) {
    std::thread helper([&] {
      if (window->waitFrames(3)) driver();
      window->stop();
    });
    EXPECT_TRUE(window->startSync());
    helper.join();
  }
  // xdotool commands on our window (%1), e.g. "mousemove --window %1 10 10 click 1".
  bool x(const std::string& commands) {
    std::string line = "xdotool search --sync --name '^" + title + "$' " + commands;
    return std::system(line.c_str()) == 0;
  }
  std::string move(float px, float py) {
    return "mousemove --window %1 " + std::to_string(static_cast<int>(px)) + " " +
           std::to_string(static_cast<int>(py)) + " sleep 0.15 ";
  }
  // The centre of a widget in window coordinates, asked on the window's thread.
  OGLTPoint centre(QELBWidget* widget) {
    OGLTPoint p{};
    window->onWindow([&] { p = widget->localToWorld({widget->size().w / 2, widget->size().h / 2}); });
    return p;
  }
  // Shows the pick dialog over the scene on the folder, its choice sent to the target; call it on
  // the window's thread.
  template <typename Dialog>
  void showPickDialog(const Ref<Dialog>& dialog, const std::filesystem::path& folder, Ref<QELBWidget> target,
                      Ref<LLKCMessage> onSelect = nullptr) {
    dialog->setPath(folder.string());
    dialog->setTarget(std::move(target));
    if (onSelect) dialog->setOnSelect(std::move(onSelect));
    dialog->setLayer(8);
    dialog->setVisible(true);
    (void)window->attach(dialog);
  }
  Ref<SceneWindow> window;
  std::string title;
};

TEST_F(RealWindow, TheSceneIsDrawnWhereItIsLaidOutAndTakesClicksAndScrolls) {
  run([&] {
    QELExampleScene& s = window->scene;
    // Layout view at (20, 20), content origin (1, 21), column content inset 3.
    EXPECT_EQ(window->pixel(30, 50), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(window->pixel(100, 90), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(window->pixel(70, 125), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(window->pixel(30, 155), (std::vector<int>{255, 255, 0}));
    EXPECT_EQ(window->pixel(160, 155), (std::vector<int>{0, 255, 255}));  // pushed right by the spacer
    // The block placed in the canvas at content (100, 60): canvas origin (301, 61).
    EXPECT_EQ(window->pixel(420, 140), (std::vector<int>{255, 0, 255}));
    ASSERT_TRUE(hasXdotool());
    ASSERT_TRUE(x("windowfocus --sync " + move(30, 50) + "click 1 sleep 0.15"));
    EXPECT_TRUE(window->eventually([&] { return s.red->clicks() == 1; }));
    EXPECT_EQ(s.green->clicks(), 0);
    // Two wheel steps down over the canvas scroll it by 40: the block moves up.
    ASSERT_TRUE(x(move(420, 140) + "click 5 sleep 0.1 click 5 sleep 0.15"));
    EXPECT_TRUE(window->eventually([&] { return s.canvas->offset().y == 40; }));
    EXPECT_EQ(window->pixel(420, 105), (std::vector<int>{255, 0, 255}));
    ASSERT_TRUE(x(move(420, 105) + "click 1 sleep 0.15"));
    EXPECT_TRUE(window->eventually([&] { return s.inCanvas->clicks() == 1; }));
  });
}

// The "Controls" view's content starts at (21, 291).
TEST_F(RealWindow, ACheckBoxIsClickedAndASliderDragged) {
  run([&] {
    ASSERT_TRUE(hasXdotool());
    QELExampleScene& s = window->scene;
    auto brightness = [](const std::vector<int>& rgb) { return rgb.size() == 3 ? rgb[0] + rgb[1] + rgb[2] : -1; };
    // The check mark's centre: check box at (31, 301), glyph at its left + 12, middle 313.
    int unchecked = brightness(window->pixel(43, 313));
    ASSERT_TRUE(x("windowfocus --sync " + move(80, 313) + "click 1 sleep 0.15"));
    EXPECT_TRUE(window->eventually([&] { return s.checkbox->value(); }));
    EXPECT_GT(brightness(window->pixel(43, 313)), unchecked + 60);
    // Slider at (321, 301), 150 × 24: knob radius 7, track from x 329 over 134; value 0.
    int before = brightness(window->pixel(396, 313));
    ASSERT_TRUE(
        x(move(329, 313) + "mousedown 1 sleep 0.15 " + move(360, 313) + move(396, 313) + "mouseup 1 sleep 0.15"));
    EXPECT_TRUE(window->eventually([&] { return std::fabs(s.slider->value() - 0.5f) < 0.05f; }));
    EXPECT_GT(brightness(window->pixel(396, 313)), before + 60);  // the knob is there now
    EXPECT_TRUE(window->saveScreenshot("controls.png"));
  });
}

TEST_F(RealWindow, ViewsAreDraggedResizedRolledUpAndClosed) {
  run([&] {
    ASSERT_TRUE(hasXdotool());
    QELExampleScene& s = window->scene;
    // Drag the layout view by its title bar by (50, 20).
    ASSERT_TRUE(x("windowfocus --sync " + move(120, 30) + "mousedown 1 sleep 0.15 " + move(145, 40) + move(170, 50) +
                  "mouseup 1 sleep 0.15"));
    EXPECT_TRUE(
        window->eventually([&] { return s.layoutView->frame().left == 70 && s.layoutView->frame().top == 40; }));
    EXPECT_EQ(window->pixel(80, 70), (std::vector<int>{255, 0, 0}));
    // Widen the canvas view at its right edge (x 560) by 40.
    ASSERT_TRUE(
        x(move(559, 150) + "mousedown 1 sleep 0.15 " + move(579, 150) + move(599, 150) + "mouseup 1 sleep 0.15"));
    EXPECT_TRUE(window->eventually([&] { return s.canvasView->size().w == 300; }));
    // Roll the canvas view up with the first title-bar button, then down again.
    ASSERT_TRUE(x(move(300 + 11, 40 + 11) + "click 1 sleep 0.15"));
    EXPECT_TRUE(window->eventually([&] { return s.canvasView->rollState() == kQELRollRolledUp; }));
    EXPECT_FLOAT_EQ(s.canvasView->size().h, 42);
    ASSERT_TRUE(x(move(300 + 11, 40 + 11) + "click 1 sleep 0.15"));
    EXPECT_TRUE(window->eventually([&] { return s.canvasView->rollState() == kQELRollOpen; }));
    EXPECT_FLOAT_EQ(s.canvasView->size().h, 220);
    // Close the layout view with the button at the right end of its title bar.
    OGLTRect f{};
    window->onWindow([&] { f = s.layoutView->frame(); });
    ASSERT_TRUE(x(move(f.right - 12, f.top + 11) + "click 1 sleep 0.15"));
    EXPECT_TRUE(window->eventually([&] { return !s.layoutView->visible(); }));
  });
}

// A fast drag of a title bar, 400 pixels down in 50 ms onto a board above the views (a board
// takes every record over it): the view follows to the release, and a later press on the empty
// background leaves it there.
TEST_F(RealWindow, AViewFollowsAFastDragToTheReleaseAndStaysThere) {
  window->setSize({900, 700});
  run([&] {
    ASSERT_TRUE(hasXdotool());
    QELExampleScene& s = window->scene;
    Ref<QELCBoard> board;
    ASSERT_TRUE(window->onWindow([&] {
      const QELTGroupSetup setup = {kQELGroupColumn, 2, 0, 1, 0};
      board = QELCBoard::widgetWithSize({600, 40}, {0, 400}, &setup);
      board->setLayer(8);
      window->attach(board);
    }));
    window->waitFrames(2);
    std::string drag = "windowfocus --sync " + move(120, 30) + "mousedown 1 sleep 0.1 ";
    for (int step = 1; step <= 40; ++step)  // 10 pixels a move, 5 ms after every fourth
      drag += "mousemove --window %1 120 " + std::to_string(30 + 10 * step) + (step % 4 ? " " : " sleep 0.005 ");
    ASSERT_TRUE(x(drag + "mouseup 1 sleep 0.15"));
    EXPECT_TRUE(window->eventually([&] { return s.layoutView->frame().left == 20 && s.layoutView->frame().top == 420; }))
        << s.layoutView->frame().left << ", " << s.layoutView->frame().top;
    ASSERT_TRUE(x(move(800, 650) + "click 1 sleep 0.15"));  // the empty background
    window->waitFrames(3);
    OGLTRect f{};
    window->onWindow([&] { f = s.layoutView->frame(); });
    EXPECT_EQ(f.left, 20);
    EXPECT_EQ(f.top, 420);
    window->onWindow([&] { window->detach(board); });
  });
}

// A menu bar below the scene and a pop-up beside it, driven by real clicks.
TEST_F(RealWindow, AMenuBarMenuAndAPopUpOpenAndDeliverTheirChoice) {
  run([&] {
    ASSERT_TRUE(hasXdotool());
    const QELTGroupSetup row = {kQELGroupRow, 0, 0, 2, kQELGroupUniformCross};
    const QELTGroupSetup column = {kQELGroupColumn, 0, 0, 2, kQELGroupUniformCross};
    Ref<Catcher> target = Catcher::make({1, 1});  // the menus' target, not on screen
    Ref<QELCMenu> bar, popup;
    Ref<QELCMenuItem> file, quit, copy;
    Ref<QELCMenuList> fileList;
    ASSERT_TRUE(window->onWindow([&] {
      bar = QELCMenu::widgetWithSize({10, 10}, {20, 300});
      bar->setFlags(kQELMenuPersistent);
      bar->setTarget(target.get());
      Ref<QELCMenuList> top = QELCMenuList::widgetWithSize({10, 10}, {0, 0}, &row);
      file = QELCMenuItem::widgetWithSize({60, 22}, {0, 0}, "File");
      file->setFlags(kQELMenuItemNoArrow | kQELMenuItemOpensBelow);
      fileList = QELCMenuList::widgetWithSize({10, 10}, {0, 0}, &column);
      quit = QELCMenuItem::widgetWithSize({60, 22}, {0, 0}, "Quit");
      quit->setOnClick(LLKCMessage::messageWithCode(0x51));
      fileList->attach(quit);
      file->setChild(fileList);
      top->attach(file);
      top->attach(QELCMenuItem::widgetWithSize({60, 22}, {0, 0}, "Edit"));
      bar->attach(top);
      window->attach(bar);
    }));
    window->waitFrames(2);
    OGLTPoint f = centre(file.get());
    std::vector<int> below = window->pixel(static_cast<int>(f.x), static_cast<int>(f.y) + 30);
    ASSERT_TRUE(x("windowfocus --sync " + move(f.x, f.y) + "click 1 sleep 0.3"));
    EXPECT_TRUE(window->eventually([&] { return fileList->visible() && fileList->parent() == bar.get(); }));
    EXPECT_NE(window->pixel(static_cast<int>(f.x), static_cast<int>(f.y) + 30), below);  // the list is drawn there
    OGLTPoint q = centre(quit.get());
    ASSERT_TRUE(x(move(q.x, q.y) + "click 1 sleep 0.3"));
    EXPECT_TRUE(window->eventually([&] { return target->messages.size() == 1 && !fileList->visible(); }));
    EXPECT_TRUE(window->eventually([&] { return bar->visible() && bar->window() == window.get(); }));

    ASSERT_TRUE(window->onWindow([&] {
      popup = QELCMenu::widgetWithSize({10, 10}, {420, 280});
      popup->setFlags(kQELMenuDetaches);
      popup->setTarget(target.get());
      Ref<QELCMenuList> list = QELCMenuList::widgetWithSize({10, 10}, {0, 0}, &column);
      copy = QELCMenuItem::widgetWithSize({60, 22}, {0, 0}, "Copy");
      copy->setOnClick(LLKCMessage::messageWithCode(0x43));
      list->attach(copy);
      popup->attach(list);
      window->attach(popup);
    }));
    window->waitFrames(2);
    OGLTPoint c = centre(copy.get());
    ASSERT_TRUE(x(move(c.x, c.y) + "click 1 sleep 0.3"));
    EXPECT_TRUE(window->eventually([&] { return target->messages.size() == 2 && !popup->window(); }));
    if (target->messages.size() == 2) {
      EXPECT_EQ(target->messages[1]->codeValue(), 0x43u);
    }
    window->onWindow([&] { window->detach(bar); });
  });
}

// A file pick dialog above the scene: a file picked by clicks, then one in a folder reached by
// typing its path.
TEST_F(RealWindow, AFileIsPickedByClicksAndByATypedPath) {
  char pattern[] = "/tmp/vesko-pick-XXXXXX";
  ASSERT_TRUE(mkdtemp(pattern));
  const std::filesystem::path root = pattern;
  std::filesystem::create_directories(root / "sub");
  for (const char* name : {"a.json", "b.json", "notes.txt", "sub/c.json"}) std::ofstream(root / name) << "{}";
  window->setSize({900, 700});
  run([&] {
    ASSERT_TRUE(hasXdotool());
    Ref<Catcher> target = Catcher::make({1, 1});
    Ref<QELCFilePickDialog> dialog;
    auto open = [&] {
      return window->onWindow([&] {
        dialog = QELCFilePickDialog::widgetWithSize({0, 0}, {0, 0}, "Open");
        dialog->setFilters({"json"});
        showPickDialog(dialog, root, target, LLKCMessage::messageWithCode(42));
      });
    };
    // The path of the file the target was told of ("" before); asked on the window's thread.
    auto picked = [&] {
      Ref<LLKCFSFile> file = target->last().objectForKeyAs<LLKCFSFile>("file");
      return file ? file->fullPath() : std::string();
    };
    auto pickedPath = [&] {
      std::string path;
      window->onWindow([&] { path = picked(); });
      return path;
    };
    ASSERT_TRUE(window->onWindow([&] { (void)window->attach(target); }));
    ASSERT_TRUE(open());
    QELCFilePicker* picker = dialog->picker();
    ASSERT_TRUE(window->eventually([&] { return !picker->listing() && picker->fileList()->live().size() == 2; }));
    QELBWidget* second = nullptr;
    window->onWindow([&] { second = picker->fileList()->live().at(1).get(); });
    OGLTPoint row = centre(second);
    ASSERT_TRUE(x("windowfocus --sync " + move(row.x, row.y) + "click 1 sleep 0.15"));
    ASSERT_TRUE(window->eventually([&] { return picker->selectButton()->enabled(); }));
    window->pixel(0, 0);  // captures a frame
    EXPECT_TRUE(window->saveScreenshot("picker.png"));
    OGLTPoint select = centre(picker->selectButton());
    ASSERT_TRUE(x(move(select.x, select.y) + "click 1 sleep 0.15"));
    EXPECT_TRUE(window->eventually([&] { return !picked().empty(); }));
    EXPECT_EQ(pickedPath(), (root / "b.json").string());
    EXPECT_TRUE(window->eventually([&] { return dialog->parent() == nullptr && !dialog->window(); }));

    // Typed: the path box emptied, the sub-folder's path typed and Enter.
    window->onWindow([&] { target->messages.clear(); });
    ASSERT_TRUE(open());
    picker = dialog->picker();
    ASSERT_TRUE(window->eventually([&] { return dialog->placed() && picker->fileList()->live().size() == 2; }));
    window->onWindow([&] { picker->pathBox()->setValue(""); });
    OGLTPoint box = centre(picker->pathBox());
    ASSERT_TRUE(x(move(box.x, box.y) + "click 1 sleep 0.2"));
    ASSERT_TRUE(window->eventually([&] { return window->sink() == picker->pathBox(); }));
    ASSERT_TRUE(x(std::string("type ") + kOGLTestTypeDelay + " '" + (root / "sub").string() +
                  "'"));  // type takes every word after it
    ASSERT_TRUE(x("key Return sleep 0.15"));
    ASSERT_TRUE(window->eventually([&] {
      return picker->path() == (root / "sub").string() && !picker->listing() && picker->fileList()->live().size() == 1;
    })) <<
        [&] {
          std::string typed;
          window->onWindow([&] { typed = picker->pathBox()->value(); });
          return typed;
        }();
    window->onWindow([&] { second = picker->fileList()->live().at(0).get(); });
    row = centre(second);
    ASSERT_TRUE(x(move(row.x, row.y) + "click 1 sleep 0.15"));
    ASSERT_TRUE(window->eventually([&] { return picker->selectButton()->enabled(); }));
    window->pixel(0, 0);
    EXPECT_TRUE(window->saveScreenshot("picker-typed.png"));
    select = centre(picker->selectButton());
    ASSERT_TRUE(x(move(select.x, select.y) + "click 1 sleep 0.15"));
    EXPECT_TRUE(window->eventually([&] { return !picked().empty(); }));
    EXPECT_EQ(pickedPath(), (root / "sub/c.json").string());
    // The choices name the picker, which keeps its target: let them go.
    window->onWindow([&] { target->messages.clear(); });
  });
  std::filesystem::remove_all(root);
}

// A click on the top or the bottom pixel row of a file row, as it is drawn, picks that file and
// not its neighbour. The row is found on the screen: selected, it is framed symmetrically about
// its middle.
TEST_F(RealWindow, AClickOnTheEdgeRowsOfAFileRowPicksThatFile) {
  char pattern[] = "/tmp/vesko-pick-XXXXXX";
  ASSERT_TRUE(mkdtemp(pattern));
  const std::filesystem::path root = pattern;
  for (const char* name : {"a.json", "b.json", "c.json"}) std::ofstream(root / name) << "{}";
  window->setSize({900, 700});
  run([&] {
    ASSERT_TRUE(hasXdotool());
    Ref<Catcher> target = Catcher::make({1, 1});
    Ref<QELCFilePickDialog> dialog;
    ASSERT_TRUE(window->onWindow([&] {
      (void)window->attach(target);
      dialog = QELCFilePickDialog::widgetWithSize({0, 0}, {0, 0}, "Open");
      dialog->setFilters({"json"});
      showPickDialog(dialog, root, target);
    }));
    QELCFilePicker* picker = dialog->picker();
    ASSERT_TRUE(window->eventually(
        [&] { return dialog->placed() && !picker->listing() && picker->fileList()->live().size() == 3; }));
    OGLTRect list{};
    float rowHeight = 0, pitch = 0;
    window->onWindow([&] {
      QELBCollectionbox* files = picker->fileList();
      OGLTPoint a = files->localToWorld({0, 0}), b = files->localToWorld({files->size().w, files->size().h});
      list = {a.x, a.y, b.x, b.y};
      rowHeight = files->live().at(0)->size().h;
      pitch = files->live().at(1)->frame().top - files->live().at(0)->frame().top;
    });
    const int x0 = static_cast<int>((list.left + list.right) / 2), top = static_cast<int>(list.top);
    OGLTPoint aside{list.right + 40, list.bottom + 40};  // no row under the pointer
    auto pick = [&](float y) {
      return x(move(static_cast<float>(x0), y) + "click 1 sleep 0.15 " + move(aside.x, aside.y));
    };
    auto picked = [&](const char* name) {
      return window->eventually([&] { return picker->selected() && picker->selected()->name() == name; });
    };
    // The column through the list with the third row selected, then with the first: what differs
    // first is the first row's frame.
    const float third = list.top + 2 * pitch + pitch / 2, firstRow = list.top + pitch / 2;
    auto columnWith = [&](float y, const char* name) {
      EXPECT_TRUE(pick(y) && picked(name));
      window->waitFrames(10);  // the click's flash is over
      return window->column(x0, top, static_cast<int>(list.bottom));
    };
    ASSERT_TRUE(x("windowfocus --sync"));
    std::vector<std::vector<int>> withThird = columnWith(third, "c.json"), withFirst = columnWith(firstRow, "a.json");
    ASSERT_EQ(withFirst.size(), withThird.size());
    int first = -1, last = -1;
    for (int i = 0; i < static_cast<int>(withFirst.size()); ++i) {
      if (withFirst[i] == withThird[i] || (first >= 0 && i > first + rowHeight)) continue;
      if (first < 0) first = i;
      last = i;
    }
    ASSERT_GE(first, 0) << "the selected row is not framed";
    // The row's own pixel rows end where the next row begins; a board's 1-pixel rim takes no
    // clicks.
    float rowTop = static_cast<float>(top) + (first + last + 1) / 2.0f - rowHeight / 2;
    for (float y : {rowTop + std::min(rowHeight, pitch) - 1, rowTop + 1}) {
      ASSERT_TRUE(pick(third) && picked("c.json"));
      ASSERT_TRUE(pick(y));
      EXPECT_TRUE(picked("a.json")) << "a click at y " << y << " of the row drawn from " << rowTop << " (" << first
                                    << ", " << last << ")";
    }
    window->pixel(0, 0);  // captures a frame
    EXPECT_TRUE(window->saveScreenshot("picker-row-edges.png"));
    window->onWindow([&] { window->detach(dialog); });
  });
  std::filesystem::remove_all(root);
}

// A folder pick dialog: a new folder named by typing, made and then picked by clicks. A file pick
// dialog: another extension chosen in its drop box by clicks lists other files.
TEST_F(RealWindow, AFolderIsMadeAndPickedAndAnotherExtensionChosenByHand) {
  char pattern[] = "/tmp/vesko-pick-XXXXXX";
  ASSERT_TRUE(mkdtemp(pattern));
  const std::filesystem::path root = pattern;
  for (const char* name : {"a.json", "b.json", "notes.txt"}) std::ofstream(root / name) << "{}";
  window->setSize({900, 700});
  run([&] {
    ASSERT_TRUE(hasXdotool());
    Ref<Catcher> target = Catcher::make({1, 1});
    ASSERT_TRUE(window->onWindow([&] { (void)window->attach(target); }));
    auto click = [&](QELBWidget* widget) {
      OGLTPoint p = centre(widget);
      return x("windowfocus --sync " + move(p.x, p.y) + "click 1 sleep 0.2");
    };

    Ref<QELCFolderPickDialog> folders;
    ASSERT_TRUE(window->onWindow([&] {
      folders = QELCFolderPickDialog::widgetWithSize({0, 0}, {0, 0}, "Where?");
      showPickDialog(folders, root, target, LLKCMessage::messageWithCode(43));
    }));
    QELCFolderPicker* picker = folders->picker();
    ASSERT_TRUE(window->eventually([&] { return folders->placed() && !picker->listing(); }));
    // "Create new folder" shows the name box; the name typed and Enter make the folder and open it.
    ASSERT_TRUE(click(picker->createButton()));
    ASSERT_TRUE(window->eventually([&] { return picker->creating(); }));
    ASSERT_TRUE(click(picker->nameBox()));
    ASSERT_TRUE(window->eventually([&] { return window->sink() == picker->nameBox(); }));
    ASSERT_TRUE(x(std::string("type ") + kOGLTestTypeDelay + " 'made'"));
    ASSERT_TRUE(x("key Return sleep 0.2"));
    ASSERT_TRUE(window->eventually([&] { return picker->path() == (root / "made").string() && !picker->listing(); }));
    EXPECT_TRUE(std::filesystem::is_directory(root / "made"));
    window->pixel(0, 0);  // captures a frame
    EXPECT_TRUE(window->saveScreenshot("folder-made.png"));
    ASSERT_TRUE(click(picker->selectButton()));
    EXPECT_TRUE(window->eventually([&] { return target->last().objectForKeyAs<LLKCFSFolder>("folder") != nullptr; }));
    std::string picked;
    window->onWindow([&] {
      if (Ref<LLKCFSFolder> folder = target->last().objectForKeyAs<LLKCFSFolder>("folder"))
        picked = folder->absFullPath();
      target->messages.clear();  // the choice names the picker, which keeps its target
    });
    EXPECT_EQ(picked, (root / "made").string());
    EXPECT_TRUE(window->eventually([&] { return !folders->window(); }));

    Ref<QELCFilePickDialog> files;
    ASSERT_TRUE(window->onWindow([&] {
      files = QELCFilePickDialog::widgetWithSize({0, 0}, {0, 0}, "Open");
      files->setFilters({"json", "txt"});
      showPickDialog(files, root, target);
    }));
    QELCFilePicker* filePicker = files->picker();
    ASSERT_TRUE(window->eventually(
        [&] { return files->placed() && !filePicker->listing() && filePicker->source()->count() == 2; }));
    QELBDropbox* extensions = filePicker->filterBox();
    ASSERT_TRUE(click(extensions));
    ASSERT_TRUE(window->eventually([&] { return extensions->openMenu() != nullptr; }));
    // The second item of the menu: "txt".
    OGLTPoint txt{};
    window->onWindow([&] {
      auto* list =
          extensions->openMenu() ? dynamic_cast<QELBParent*>(extensions->openMenu()->childs()[0].get()) : nullptr;
      if (list && list->childs().size() == 2) {
        QELBWidget* item = list->childs()[1].get();
        txt = item->localToWorld({item->size().w / 2, item->size().h / 2});
      }
    });
    ASSERT_TRUE(txt.x > 0 || txt.y > 0) << "the menu of extensions did not open with two items";
    ASSERT_TRUE(x(move(txt.x, txt.y) + "click 1 sleep 0.2"));
    ASSERT_TRUE(window->eventually(
        [&] { return filePicker->filter() == "txt" && !filePicker->listing() && filePicker->source()->count() == 1; }));
    std::string listed;
    window->onWindow([&] { listed = filePicker->source()->at(0)->name(); });
    EXPECT_EQ(listed, "notes.txt");
    window->pixel(0, 0);
    EXPECT_TRUE(window->saveScreenshot("picker-filtered.png"));
    window->onWindow([&] { window->detach(files); });
  });
  std::filesystem::remove_all(root);
}

// A panel over the scene (a top-level parent that keeps the messages of its controls).
class Controls : public RealWindow {
protected:
  void attachPanel() {
    ASSERT_TRUE(window->onWindow([&] {
      window->scene.controlsView->setVisible(false);  // the panel takes its place
      panel = Catcher::make({600, 160});
      panel->setPosition({20, 300});
      panel->setLayer(6);
      window->attach(panel);
    }));
  }
  size_t messagesWithCode(uint64_t code) {
    size_t n = 0;
    for (const Ref<LLKCMessage>& m : panel->messages) n += m->codeValue() == code;
    return n;
  }
  std::string valueOf(QELBTextbox* box) {
    std::string v;
    window->onWindow([&] { v = box->value(); });
    return v;
  }
  Ref<Catcher> panel;
};

TEST_F(Controls, APersonTypesSelectsCopiesCutsAndPastesMultiByteText) {
  run([&] {
    ASSERT_TRUE(hasXdotool());
    ASSERT_EQ(std::system("command -v xclip >/dev/null 2>&1"), 0);
    attachPanel();
    Ref<QELCTextbox> box;
    ASSERT_TRUE(window->onWindow([&] {
      box = QELCTextbox::widgetWithSize({300, 60}, {10, 10}, "", 64);
      box->setOnCommit(LLKCMessage::messageWithCode(2));
      panel->attach(box);
    }));
    window->waitFrames(2);
    OGLTPoint c = centre(box.get());
    ASSERT_TRUE(x("windowfocus --sync " + move(c.x, c.y) + "click 1 sleep 0.2"));
    EXPECT_TRUE(window->eventually([&] { return window->sink() == box.get() && box->focused(); }));
    ASSERT_TRUE(x(std::string("type ") + kOGLTestTypeDelay + " 'ab é€😀'"));
    EXPECT_TRUE(window->eventually([&] { return box->value() == "ab é€😀"; })) << valueOf(box.get());
    // Select everything and copy: another client reads it.
    ASSERT_TRUE(x(std::string("key ") + kOGLTestTypeDelay + " ctrl+a ctrl+c sleep 0.2"));
    EXPECT_EQ(OGLTestClipboardOfOtherClient(), "ab é€😀");
    // Select the first three characters with shift and cut them.
    ASSERT_TRUE(x(std::string("key ") + kOGLTestTypeDelay +
                  " Escape Home shift+Right shift+Right shift+Right ctrl+x sleep 0.2"));
    EXPECT_TRUE(window->eventually([&] { return box->value() == "é€😀"; })) << valueOf(box.get());
    EXPECT_EQ(OGLTestClipboardOfOtherClient(), "ab ");
    // Another client puts text on the clipboard; it is pasted at the end. xclip stays in the
    // background to serve it: it ends after that one request and keeps none of our output open,
    // or the test runner would wait for it.
    ASSERT_EQ(std::system("printf '%s' 'ü≠' | xclip -selection clipboard -loops 1 >/dev/null 2>&1"), 0);
    ASSERT_TRUE(x(std::string("key ") + kOGLTestTypeDelay + " End ctrl+v sleep 0.2"));
    EXPECT_TRUE(window->eventually([&] { return box->value() == "é€😀ü≠"; })) << valueOf(box.get());
    ASSERT_TRUE(x(std::string("key ") + kOGLTestTypeDelay + " BackSpace Return sleep 0.2"));
    EXPECT_TRUE(window->eventually([&] { return box->value() == "é€😀ü" && messagesWithCode(2) == 1; }));
    window->pixel(0, 0);
    EXPECT_TRUE(window->saveScreenshot("textbox.png"));
    window->onWindow([&] { window->detach(panel); });
  });
}

// 200 keys typed in a burst, 10 ms apart, reach a text box and a pick dialog's path box, all of them.
TEST_F(Controls, ABurstOfTwoHundredKeysArrivesWhole) {
  char pattern[] = "/tmp/vesko-burst-XXXXXX";
  ASSERT_TRUE(mkdtemp(pattern));
  const std::filesystem::path root = pattern;
  window->setSize({900, 700});
  run([&] {
    ASSERT_TRUE(hasXdotool());
    const std::string text = OGLTestBurstText();
    attachPanel();
    Ref<QELCTextbox> box;
    ASSERT_TRUE(window->onWindow([&] {
      box = QELCTextbox::widgetWithSize({560, 60}, {10, 10}, "", 512);
      panel->attach(box);
    }));
    window->waitFrames(2);
    OGLTPoint c = centre(box.get());
    ASSERT_TRUE(x("windowfocus --sync " + move(c.x, c.y) + "click 1 sleep 0.2"));
    ASSERT_TRUE(window->eventually([&] { return window->sink() == box.get() && box->focused(); }));
    ASSERT_TRUE(x(std::string("type ") + kOGLTestBurstDelay + " '" + text + "'"));
    EXPECT_TRUE(window->eventually([&] { return box->value() == text; })) << valueOf(box.get());
    window->pixel(0, 0);
    EXPECT_TRUE(window->saveScreenshot("burst-textbox.png"));
    window->onWindow([&] { window->detach(panel); });

    Ref<Catcher> target = Catcher::make({1, 1});
    Ref<QELCFilePickDialog> dialog;
    ASSERT_TRUE(window->onWindow([&] {
      (void)window->attach(target);
      dialog = QELCFilePickDialog::widgetWithSize({0, 0}, {0, 0}, "Open");
      showPickDialog(dialog, root, target);
    }));
    QELCFilePicker* picker = dialog->picker();
    ASSERT_TRUE(window->eventually([&] { return dialog->placed() && !picker->listing(); }));
    window->onWindow([&] { picker->pathBox()->setValue(""); });
    OGLTPoint path = centre(picker->pathBox());
    ASSERT_TRUE(x(move(path.x, path.y) + "click 1 sleep 0.2"));
    ASSERT_TRUE(window->eventually([&] { return window->sink() == picker->pathBox(); }));
    // The path box holds 80 bytes: 80 characters, 60 taken back and 60 others are 200 keys.
    std::string backspaces;
    for (int i = 0; i < 60; ++i) backspaces += " BackSpace";
    // xdotool's type takes every word after it: one command each.
    ASSERT_TRUE(x(std::string("type ") + kOGLTestBurstDelay + " '" + text.substr(0, 80) + "'"));
    ASSERT_TRUE(x(std::string("key ") + kOGLTestBurstDelay + backspaces));
    ASSERT_TRUE(x(std::string("type ") + kOGLTestBurstDelay + " '" + text.substr(80, 60) + "'"));
    const std::string kept = text.substr(0, 20) + text.substr(80, 60);
    EXPECT_TRUE(window->eventually([&] { return picker->pathBox()->value() == kept; })) << valueOf(picker->pathBox());
    window->pixel(0, 0);
    EXPECT_TRUE(window->saveScreenshot("burst-path.png"));
    window->onWindow([&] { window->detach(dialog); });
  });
  std::filesystem::remove_all(root);
}

TEST_F(Controls, TheDropBoxSelectorAndComboBoxPickAndReport) {
  run([&] {
    ASSERT_TRUE(hasXdotool());
    attachPanel();
    Ref<LLKCObjectList> colours =
        LLKCObjectList::listWithObjects({LLKCString::stringWithChars("red"), LLKCString::stringWithChars("green"),
                                         LLKCString::stringWithChars("blue")});
    Ref<LLKCObjectList> words = LLKCObjectList::listWithObjects({LLKCString::stringWithChars("one")});
    Ref<QELCDropbox> drop;
    Ref<QELCSelector> selector;
    Ref<QELCCombobox> combo;
    ASSERT_TRUE(window->onWindow([&] {
      drop = QELCDropbox::widgetWithSize({120, 24}, {10, 10}, colours);
      drop->setOnChange(LLKCMessage::messageWithCode(3));
      selector = QELCSelector::widgetWithSize({150, 24}, {150, 10}, colours);
      selector->setOnChange(LLKCMessage::messageWithCode(4));
      combo = QELCCombobox::widgetWithSize({200, 24}, {320, 10}, words, 16);
      combo->setOnInsert(LLKCMessage::messageWithCode(5));
      panel->attach(drop);
      panel->attach(selector);
      panel->attach(combo);
    }));
    window->waitFrames(2);
    OGLTPoint d = centre(drop.get());
    ASSERT_TRUE(x("windowfocus --sync " + move(d.x, d.y) + "click 1 sleep 0.3"));
    EXPECT_TRUE(window->eventually([&] { return drop->openMenu() != nullptr; }));
    // The third item of the menu below the box.
    OGLTPoint blue{};
    window->onWindow([&] {
      auto* list = drop->openMenu() ? dynamic_cast<QELBParent*>(drop->openMenu()->childs()[0].get()) : nullptr;
      if (list && list->childs().size() == 3) {
        QELBWidget* item = list->childs()[2].get();
        blue = item->localToWorld({item->size().w / 2, item->size().h / 2});
      }
    });
    ASSERT_GT(blue.y, d.y);
    ASSERT_TRUE(x(move(blue.x, blue.y) + "click 1 sleep 0.3"));
    EXPECT_TRUE(window->eventually([&] {
      return drop->selected() == 2 && messagesWithCode(3) == 1 && panel->last().uintForKey("selected", 9) == 2;
    }));
    // The selector's ">" zone at its right end.
    OGLTPoint s = centre(selector.get());
    ASSERT_TRUE(x(move(s.x + 70, s.y) + "click 1 sleep 0.3"));
    EXPECT_TRUE(window->eventually([&] { return selector->selected() == 1 && messagesWithCode(4) == 1; }));
    // "+" on the combo box, type a word, Enter: the word joins the list and is chosen.
    OGLTPoint plus = centre(combo->addButton());
    ASSERT_TRUE(x(move(plus.x, plus.y) + "click 1 sleep 0.3"));
    EXPECT_TRUE(window->eventually([&] { return combo->editing(); }));
    ASSERT_TRUE(x(std::string("type ") + kOGLTestTypeDelay + " 'zwei'"));
    ASSERT_TRUE(x("key Return sleep 0.3"));
    EXPECT_TRUE(window->eventually([&] {
      return messagesWithCode(5) == 1 && !combo->editing() && combo->value() && combo->value()->string() == "zwei";
    })) << valueOf(combo->textbox());
    EXPECT_EQ(words->count(), 2u);
    window->pixel(0, 0);
    EXPECT_TRUE(window->saveScreenshot("choosers.png"));
    window->onWindow([&] { window->detach(panel); });
  });
}

}  // namespace

// The sanitizer runtime's own allocations on the software GL driver's threads are not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libubsan.so\n"; }

namespace {

// Runs the program again, with the same arguments, under a virtual X server of its own.
int rerunUnderOwnXvfb(int argc, char** argv) {
  setenv("VESKO_XVFB", "1", 1);
  std::vector<char*> args{const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                          const_cast<char*>("-screen 0 1280x1024x24")};
  for (int i = 0; i < argc; ++i) args.push_back(argv[i]);
  args.push_back(nullptr);
  execvp("xvfb-run", args.data());
  std::perror("xvfb-run");
  return 1;
}

}  // namespace

// Without a display, or with one that no longer takes us (a shared virtual server that another
// run ended), the tests run again under a virtual X server of their own.
int main(int argc, char** argv) {
  const char* display = std::getenv("DISPLAY");
  bool own = std::getenv("VESKO_XVFB") != nullptr;
  if ((!display || !*display) && !own) return rerunUnderOwnXvfb(argc, argv);
  // The GL layer stays open to the end: closing it unloads the software driver, whose blocks
  // the leak checker could then no longer tell from ours.
  if (!OGLFInit()) return own ? 1 : rerunUnderOwnXvfb(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

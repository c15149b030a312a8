// The application object (settings file, one at a time, SIGINT), the JSON helpers, operations
// that report to a widget from the scheduler's threads, and timed widget workers.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>

#include "framework/core/LLKFFiles.h"
#include "tests/widgets/QELTestHeadlessWindow.h"
#include "tests/widgets/QELTestWidgets.h"
#include "ui/widgets/QELBApplication.h"
#include "ui/widgets/QELBOperation.h"
#include "ui/widgets/QELCWidgetWorker.h"

namespace {

namespace fs = std::filesystem;

// A preferences folder of our own for the test's life.
class Settings : public ::testing::Test {
protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("qel-app-" + std::to_string(getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    setenv("VESKO_CONFIG_DIR", folder.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("VESKO_CONFIG_DIR");
    fs::remove_all(folder);
  }
  static void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }
  static std::string read(const fs::path& path) {
    std::string text;
    LLKFReadFile(path.c_str(), text);
    return text;
  }
  // Runs the application's loop on its own thread until it stopped.
  static void runUntilStopped(const Ref<QELCApplication>& app, const std::function<void()>& whileRunning) {
    ASSERT_TRUE(app->start());
    whileRunning();
    app->stopAndJoin();
  }
  fs::path folder;
};

TEST_F(Settings, PathsLieInTheFolderOfTheName) {
  Ref<QELCApplication> app = QELCApplication::applicationWithName("demo", 0, nullptr);
  ASSERT_TRUE(app);
  EXPECT_EQ(QELBApplication::shared(), app.get());
  EXPECT_EQ(app->configPath(), (folder / "demo" / "config.json").string());
  EXPECT_EQ(app->userDataPath(), (folder / "demo" / "data").string());
  EXPECT_TRUE(fs::is_directory(folder / "demo"));
  EXPECT_FALSE(fs::exists(folder / "demo" / "data"));
  EXPECT_TRUE(app->scheduler());
  EXPECT_EQ(app->config(), nullptr);
}

TEST_F(Settings, OnlyOneApplicationAtATime) {
  Ref<QELCApplication> first = QELCApplication::applicationWithName("one", 0, nullptr);
  ASSERT_TRUE(first);
  EXPECT_FALSE(QELCApplication::applicationWithName("two", 0, nullptr));
  first.reset();
  EXPECT_EQ(QELBApplication::shared(), nullptr);
  EXPECT_TRUE(QELCApplication::applicationWithName("three", 0, nullptr));
}

TEST_F(Settings, SettingsAreReadAtStartAndWrittenAtStop) {
  write(folder / "demo" / "config.json", R"({"ui.timeline": {"visible": true}, "load.recents": []})");
  Ref<QELCApplication> app = QELCApplication::applicationWithName("demo", 0, nullptr);
  ASSERT_TRUE(app);
  runUntilStopped(app, [&] {});
  ASSERT_TRUE(app->config());
  EXPECT_TRUE(app->config()->frameForLabel("ui.timeline"));
  app.reset();
  // Written back, changed by the program while it ran.
  Ref<QELCApplication> again = QELCApplication::applicationWithName("demo", 0, nullptr);
  std::atomic<bool> stored{false};
  runUntilStopped(again, [&] {
    again->sched([&] {
      again->config()->storeString("/tmp/data", "data.path");
      stored = true;
    });
    while (!stored) std::this_thread::yield();
  });
  Ref<JSKCFrame> saved = QELFApplicationReadJSON((folder / "demo" / "config.json").c_str());
  EXPECT_EQ(saved->stringForLabel("data.path", ""), "/tmp/data");
  EXPECT_TRUE(saved->frameForLabel("ui.timeline"));
}

// A settings file that does not parse is set aside, never replaced unseen.
TEST_F(Settings, AnUnreadableFileIsKeptAside) {
  fs::path path = folder / "demo" / "config.json";
  write(path, "this is not JSON {");
  Ref<QELCApplication> app = QELCApplication::applicationWithName("demo", 0, nullptr);
  runUntilStopped(app, [] {});
  EXPECT_EQ(app->config()->count(), 0u);
  EXPECT_EQ(read(folder / "demo" / "config.json.unreadable"), "this is not JSON {");
  EXPECT_EQ(QELFApplicationReadJSON(path.c_str())->count(), 0u);
  EXPECT_TRUE(fs::exists(path));
  // A second unreadable file is kept beside the first, which stays as it was.
  app.reset();
  write(path, "broken again [");
  Ref<QELCApplication> again = QELCApplication::applicationWithName("demo", 0, nullptr);
  runUntilStopped(again, [] {});
  std::multiset<std::string> kept;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder / "demo"))
    if (entry.path().filename().string().rfind("config.json.unreadable", 0) == 0) kept.insert(read(entry.path()));
  EXPECT_EQ(kept, (std::multiset<std::string>{"this is not JSON {", "broken again ["}));
  EXPECT_EQ(read(folder / "demo" / "config.json.unreadable"), "this is not JSON {");
}

TEST_F(Settings, AnUnreadableFileThatCannotBeSetAsideIsNeverOverwritten) {
  fs::path path = folder / "demo" / "config.json";
  write(path, "still the user's {");
  // Every name beside it is taken, so it cannot be set aside.
  write(folder / "demo" / "config.json.unreadable", "older");
  for (int n = 1; n < 1000; ++n) write(folder / "demo" / ("config.json.unreadable." + std::to_string(n)), "older");
  Ref<QELCApplication> app = QELCApplication::applicationWithName("demo", 0, nullptr);
  runUntilStopped(app, [] {});
  EXPECT_EQ(read(path), "still the user's {");
}

TEST_F(Settings, InterruptStopsTheApplicationWithTheSettingsWritten) {
  Ref<QELCApplication> app = QELCApplication::applicationWithName("demo", 0, nullptr);
  ASSERT_TRUE(app->start());
  // Until the loop started, SIGINT would end the test program.
  std::atomic<bool> ready{false};
  app->sched([&] { ready = true; });
  while (!ready) std::this_thread::yield();
  std::raise(SIGINT);
  app->join();  // ends by itself
  EXPECT_FALSE(app->isRunning());
  EXPECT_TRUE(fs::exists(folder / "demo" / "config.json"));
  EXPECT_EQ(std::signal(SIGINT, SIG_DFL), SIG_DFL);
}

TEST_F(Settings, JSONHelpersNeverAnswerNull) {
  EXPECT_EQ(QELFApplicationReadJSON(nullptr)->count(), 0u);
  EXPECT_EQ(QELFApplicationReadJSON((folder / "missing.json").c_str())->count(), 0u);
  EXPECT_EQ(QELFApplicationReadConfig(nullptr)->count(), 0u);
  Ref<JSKCFrame> frame = JSKCFrame::frame();
  frame->storeUint(3, "n");
  EXPECT_TRUE(QELFApplicationWriteJSON((folder / "a.json").c_str(), frame.get()));
  EXPECT_EQ(QELFApplicationReadConfig((folder / "a.json").c_str())->uintForLabel("n", 0), 3u);
  EXPECT_FALSE(QELFApplicationWriteJSON((folder / "no" / "such" / "a.json").c_str(), frame.get()));
  EXPECT_FALSE(QELFApplicationWriteJSON(nullptr, frame.get()));
  EXPECT_FALSE(QELFApplicationWriteJSON((folder / "b.json").c_str(), nullptr));
}

// Operations run on the scheduler's threads and report on the window's thread.
TEST(QELOperation, ReportsToItsTargetThroughTheWindow) {
  struct Count : QELBOperation {
    void onExecute() override {
      for (int i = 0; i < 3; ++i) notify(onProgress());
      notify(onComplete());
      notify(nullptr);
    }
  };
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({100, 100});
  ASSERT_TRUE(window);
  Ref<Probe> target = Probe::make();
  window->attach(target);
  Ref<LLKCScheduler> scheduler = LLKCScheduler::schedulerWithSetup(QELKApplicationSetup);
  Ref<Count> operation = adoptRef(new Count());
  operation->setTarget(target);
  operation->setOnProgress(message(1));
  operation->setOnComplete(message(2));
  ASSERT_TRUE(scheduler->submit(operation));
  EXPECT_TRUE(window->pumpUntil([&] { return target->messages.size() == 4; }));
  EXPECT_EQ(target->messages, (std::vector<uint64_t>{1, 1, 1, 2}));
  // Without a target the poke goes nowhere.
  Ref<Count> orphan = adoptRef(new Count());
  orphan->setOnComplete(message(3));
  EXPECT_FALSE(orphan->notify(orphan->onComplete()));
  scheduler->stopAndJoin();
}

TEST(QELWidgetWorker, CallsItsFunctionAtStartAndThenEveryPeriod) {
  static std::mutex mutex;
  static std::condition_variable changed;
  static int calls = 0;
  static QELBWidget* seenWidget = nullptr;
  auto function = [](LLKCDictionary* context, QELBWidget* widget, double time) {
    std::lock_guard lock(mutex);
    ++calls;
    seenWidget = widget;
    context->storeReal(time, "last");
    changed.notify_all();
  };
  EXPECT_FALSE(QELCWidgetWorker::workerWithFunction(nullptr, 10, nullptr, nullptr));
  Ref<Probe> widget = Probe::make();
  Ref<QELCWidgetWorker> worker = QELCWidgetWorker::workerWithFunction(function, 5, widget.get(), nullptr);
  ASSERT_TRUE(worker && worker->context());
  ASSERT_TRUE(worker->start());
  {
    std::unique_lock lock(mutex);
    EXPECT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [] { return calls >= 3; }));
    EXPECT_EQ(seenWidget, widget.get());
  }
  worker->setWidget(nullptr);
  worker->stopAndJoin();
  EXPECT_GT(worker->context()->realForKey("last"), 0);
}

// Clearing the widget waits for a call in progress: once setWidget(nullptr) returns, the
// function no longer holds the old widget, so its owner may let it go.
TEST(QELWidgetWorker, ClearingTheWidgetWaitsForTheCallInProgress) {
  static std::mutex mutex;
  static std::condition_variable changed;
  static bool entered = false, proceed = false;
  static std::atomic<int> inside{0};
  auto function = [](LLKCDictionary*, QELBWidget* widget, double) {
    if (!widget) return;
    ++inside;
    std::unique_lock lock(mutex);
    entered = true;
    changed.notify_all();
    changed.wait_for(lock, std::chrono::seconds(10), [] { return proceed; });
    widget->setTag(widget->tag() + 1);
    --inside;
  };
  Ref<Probe> widget = Probe::make();
  Ref<QELCWidgetWorker> worker = QELCWidgetWorker::workerWithFunction(function, 1, widget.get(), nullptr);
  ASSERT_TRUE(worker && worker->start());
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [] { return entered; }));
  }
  std::atomic<int> insideAfterClear{-1};
  std::atomic<bool> clearing{false};
  std::thread clearer([&] {
    clearing = true;
    worker->setWidget(nullptr);
    insideAfterClear = inside.load();
  });
  while (!clearing) std::this_thread::yield();
  {
    std::lock_guard lock(mutex);
    proceed = true;
    changed.notify_all();
  }
  clearer.join();
  EXPECT_EQ(insideAfterClear.load(), 0);
  widget.reset();
  worker->stopAndJoin();
}

// Pokes from many threads while the window runs its frames.
TEST(QELWidget, PokesFromOtherThreadsAreSafe) {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({100, 100});
  ASSERT_TRUE(window);
  Ref<Probe> target = Probe::make();
  window->attach(target);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i) target->poke(message(9));
    });
  for (int f = 0; f < 20; ++f) window->frame();
  for (auto& thread : threads) thread.join();
  EXPECT_TRUE(window->pumpUntil([&] { return target->messages.size() == 200; }));
}

// Pokes from other threads while the window's thread moves the widget in and out of the tree:
// each poke either reaches the widget or is dropped, and nothing races.
TEST(QELWidget, PokesRaceWithAttachAndDetach) {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({100, 100});
  ASSERT_TRUE(window);
  Ref<Box> box = Box::make();
  window->attach(box);
  Ref<Probe> target = Probe::make();
  std::atomic<int> accepted{0};
  std::atomic<bool> stop{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      while (!stop.load())
        if (target->poke(message(7))) ++accepted;
    });
  for (int f = 0; f < 200; ++f) {
    if (f % 2 == 0) {
      box->attach(target);
    } else if (f % 4 == 1) {
      box->detach(target);
    } else {
      box->detach(target);
      window->attach(target);
      window->frame();
      window->detach(target);
    }
    window->frame();
  }
  stop.store(true);
  for (auto& thread : threads) thread.join();
  window->pump();
  EXPECT_LE(target->messages.size(), static_cast<size_t>(accepted.load()));
  EXPECT_EQ(window->pending(), 0u);
}

}  // namespace

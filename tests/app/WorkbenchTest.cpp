// The real program under a display, with its own settings and data folders: it opens its
// window, runs the solution named on its command line, writes its settings when SIGINT or
// SIGTERM ends it and restores them at the next start. Screenshots go under the build folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>

#include "tests/app/WorkbenchFixture.h"
#include "tests/gl/OGLTestXServer.h"
#include "ui/gl/OGLFValueCoding.h"

namespace {

// Types the text into the window that has the focus, as a hand would, then Enter.
bool typeThenEnter(const std::string& text) {
  const std::string command =
      std::string("xdotool type ") + kOGLTestTypeDelay + " '" + text + "' && xdotool sleep 0.3 key Return";
  return std::system(command.c_str()) == 0;
}

// Where the solution pick dialog, centred in the workbench's window, shows its first file and its
// "Select" button.
struct WindowPoint {
  int x, y;
};
constexpr WindowPoint kFileRow{270, 50};
constexpr WindowPoint kSelect{422, 459};

class WorkbenchTest : public WorkbenchFixture {
 protected:
  // Starts the program without a solution, with `home` as the home folder, and opens Commands >
  // Load a solution by clicks; each click waits for what the one before opened, as a hand would on
  // a slow machine. The dialog on screen is saved as the screenshot `shot`.
  std::unique_ptr<WorkbenchProcess> openPickDialog(const TemporaryFolder& home, const char* shot, ScreenRect* window) {
    auto program = std::make_unique<WorkbenchProcess>(
        VESKO_PROGRAM, std::vector<std::string>{},
        std::vector<std::string>{"VESKO_CONFIG_DIR=" + settings.path(), "XDG_DATA_HOME=" + data.path(),
                                 "HOME=" + home.path(), kNoLeakCheck});
    EXPECT_TRUE(WorkbenchFindWindow("vesko", window));
    // Started without a solution, nothing is said when it is ready: its menu bar on screen tells.
    EXPECT_TRUE(drawnAt(*window, 78, 13)(WorkbenchGrabUntil(*window, drawnAt(*window, 78, 13))));
    EXPECT_TRUE(click(*window, 78, 13));
    EXPECT_TRUE(drawnAt(*window, 90, 36)(WorkbenchGrabUntil(*window, drawnAt(*window, 90, 36))));
    EXPECT_TRUE(click(*window, 90, 36));
    EXPECT_TRUE(drawnAt(*window, 300, 200)(capture(shot, window, drawnAt(*window, 300, 200))));
    return program;
  }
};

TEST_F(WorkbenchTest, RunsTheCommandLineSolutionAndSigintWritesTheSettings) {
  writeStatisticsOpenConfig();

  ScreenRect window;
  auto program = startDemo(&window);
  ASSERT_FALSE(HasFailure());
  // The statistics view is drawn where the settings put it, and its first graph (submitted
  // chunks, drawn in blue) plots the ticks of the running stage.
  auto plotted = [&](const std::vector<uint8_t>& rgb) {
    for (int y = 160; y < 210; ++y)
      for (int x = 36; x < 200; ++x) {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * window.w + x) * 3];
        if (p[2] > 120 && p[2] > p[0] + 60) return true;
      }
    return false;
  };
  std::vector<uint8_t> rgb = capture("workbench-stats", &window, plotted);
  ASSERT_FALSE(rgb.empty());
  EXPECT_TRUE(drawnAt(window, 40, 150)(rgb));
  EXPECT_TRUE(plotted(rgb));
  // Resting over the graph shows its hint just below it, over the next graph.
  auto hinted = [&](const std::vector<uint8_t>& now) {
    for (int y = 212; y < 228; ++y)
      for (int x = 44; x < 120; ++x) {
        size_t i = (static_cast<size_t>(y) * window.w + x) * 3;
        if (now[i] != rgb[i] || now[i + 1] != rgb[i + 1]) return true;
      }
    return false;
  };
  ASSERT_TRUE(hover(100, 190));
  EXPECT_TRUE(hinted(capture("workbench-hint", &window, hinted)));

  ASSERT_TRUE(program->signal(SIGINT));
  EXPECT_EQ(program->waitForExit(), 0) << program->output();
  EXPECT_EQ(recents(), std::vector<std::string>{demo});
  Ref<JSKCFrame> saved = config()->frameForLabel("ui.stats.ctm");
  ASSERT_TRUE(saved);
  EXPECT_TRUE(saved->boolForLabel("visible", false));
  OGLTPoint position = OGL::pointForLabel(*saved, "position", {0, 0});
  EXPECT_EQ(position.x, 30);
  EXPECT_EQ(position.y, 140);
  EXPECT_TRUE(std::filesystem::is_directory(data.path() + "/vesko"));
}

TEST_F(WorkbenchTest, TheMenuShowsTheStatisticsAndQuitsAndARestartRestoresBoth) {
  auto first = start({demo});
  ASSERT_TRUE(first->waitForOutput("loaded " + demo)) << first->output();
  ScreenRect window;
  ASSERT_TRUE(WorkbenchFindWindow("vesko", &window));
  // vesko > Statistics > CTM shows the statistics view at its default place.
  ASSERT_TRUE(click(window, 18, 13));
  ASSERT_TRUE(click(window, 40, 36));
  ASSERT_TRUE(click(window, 93, 36));
  std::vector<uint8_t> shown = capture("workbench-menu-stats", &window, drawnAt(window, 20, 110));
  EXPECT_TRUE(drawnAt(window, 20, 110)(shown));
  // vesko > About vesko shows the about box in the middle of the window.
  ASSERT_TRUE(click(window, 18, 13));
  ASSERT_TRUE(click(window, 40, 54));
  EXPECT_TRUE(drawnAt(window, 320, 240)(capture("workbench-about", &window, drawnAt(window, 320, 240))));
  // vesko > Quit ends the program, which writes the settings.
  ASSERT_TRUE(click(window, 18, 13));
  ASSERT_TRUE(click(window, 22, 80));
  ASSERT_EQ(first->waitForExit(), 0) << first->output();
  ASSERT_EQ(recents(), std::vector<std::string>{demo});
  Ref<JSKCFrame> stats = config()->frameForLabel("ui.stats.ctm");
  ASSERT_TRUE(stats);
  EXPECT_TRUE(stats->boolForLabel("visible", false));

  std::string empty = writeSolution("empty.json", "{\"processors\": []}");
  auto second = start({empty});
  ASSERT_TRUE(second->waitForOutput("loaded " + empty)) << second->output();
  std::vector<uint8_t> restored = capture("workbench-restart", &window, drawnAt(window, 20, 110));
  EXPECT_TRUE(drawnAt(window, 20, 110)(restored));
  // Commands > Load recent lists the file of the first run, and choosing it loads it again.
  ASSERT_TRUE(click(window, 78, 13));
  ASSERT_TRUE(click(window, 90, 72));
  (void)capture("workbench-recents", &window, drawnAt(window, 200, 72));
  ASSERT_TRUE(click(window, 168, 72));
  EXPECT_TRUE(second->waitForOutput("loaded " + demo)) << second->output();
  // Commands > Wipe empties the substrate but for the workbench's own solution, and says so.
  ASSERT_TRUE(click(window, 78, 13));
  ASSERT_TRUE(click(window, 70, 90));
  EXPECT_TRUE(second->waitForOutput("Substrate wiped")) << second->output();
  ASSERT_TRUE(second->signal(SIGTERM));
  ASSERT_EQ(second->waitForExit(), 0) << second->output();
  EXPECT_EQ(recents(), (std::vector<std::string>{demo, empty}));
}

// A plug-in whose squib hook sleeps 30 s does not hold the program: SIGTERM ends it well before
// the hook returns, the settings written first and the abandoned hook named in the log.
TEST_F(WorkbenchTest, SIGTERMEndsItWhileAHookSleepsWithItsSettingsWritten) {
  const std::string sleeper = writeSolution("sleeper.json", R"json({"modules": ["zrnprobes"], "processors": [
    {"class": "ZRNCProbe", "label": "sleeper", "properties": {"follow": "news", "sleep": 30}},
    {"class": "ZRNCProbe", "label": "teller",
     "properties": {"publish": [["news", [{"$term": "hello(1)"}]]], "every": 20, "times": 0}}]})json");
  auto program = start({sleeper});
  ASSERT_TRUE(program->waitForOutput("sleeper : sleeping 30 s in its squib hook")) << program->output();
  ScreenRect window;
  ASSERT_TRUE(WorkbenchFindWindow("vesko", &window));
  (void)capture("workbench-busy-hook", &window, drawnAt(window, 78, 13));
  ASSERT_TRUE(program->signal(SIGTERM));
  // Waiting for the hook would take 30 s.
  ASSERT_EQ(program->waitForExit(std::chrono::seconds(20)), 0) << program->output();
  EXPECT_TRUE(program->waitForOutput("vesko : ending without waiting for the busy hooks of sleeper"))
      << program->output();
  EXPECT_EQ(recents(), std::vector<std::string>{sleeper});
}

TEST_F(WorkbenchTest, ASolutionPickedInTheDialogByClicksIsLoadedAndRemembered) {
  TemporaryFolder home;
  std::string picked = home.path() + "/picked.json";
  ASSERT_TRUE(LLKFWriteFileAtomically(picked.c_str(), "{\"processors\": []}", 18));
  // Commands > Load a solution opens the pick dialog at the home folder, listing the file.
  ScreenRect window;
  auto program = openPickDialog(home, "workbench-pick-dialog", &window);
  ASSERT_FALSE(HasFailure());
  // The file chosen, then "Select": the workbench loads it and adds it to the recents.
  ASSERT_TRUE(click(window, kFileRow.x, kFileRow.y));
  ASSERT_TRUE(click(window, kSelect.x, kSelect.y));
  ASSERT_TRUE(program->waitForOutput("loaded " + picked)) << program->output();
  (void)capture("workbench-picked", &window);
  ASSERT_TRUE(program->signal(SIGINT));
  EXPECT_EQ(program->waitForExit(), 0) << program->output();
  EXPECT_EQ(recents(), std::vector<std::string>{picked});
}

// In the solution pick dialog a file row is picked by a click on the first and on the last pixel
// row of its frame, as drawn while the pointer is over it: the picked row keeps its frame once the
// pointer has left it. A folder row opens its folder on the first pixel row of its frame.
TEST_F(WorkbenchTest, AFileRowIsPickedOnTheFirstAndLastPixelRowsOfItsFrame) {
  TemporaryFolder home;
  for (const char* name : {"a.json", "b.json", "c.json", "d.json", "e.json", "f.json"})
    ASSERT_TRUE(LLKFWriteFileAtomically((home.path() + "/" + name).c_str(), "{}", 2));
  std::filesystem::create_directories(home.path() + "/sub");
  ScreenRect window;
  auto program = openPickDialog(home, "workbench-pick-rows", &window);
  ASSERT_FALSE(HasFailure());
  const int x = kFileRow.x;
  auto at = [&](const std::vector<uint8_t>& rgb, int y) {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * window.w + x) * 3];
    return std::array<uint8_t, 3>{p[0], p[1], p[2]};
  };
  // The pointer moved, then (when asked) a click where it rests: no pause between the records.
  auto pointer = [](int px, int py, bool press) {
    const std::string command = "xdotool search --sync --name '^vesko$' mousemove --window %1 " + std::to_string(px) +
                                " " + std::to_string(py) + (press ? " click 1" : "");
    return std::system(command.c_str()) == 0;
  };
  auto differs = [&](const std::vector<uint8_t>& before, int top, int bottom) {
    return [&, top, bottom](const std::vector<uint8_t>& rgb) {
      for (int y = top; y <= bottom; ++y)
        if (at(rgb, y) != at(before, y)) return true;
      return false;
    };
  };
  // The pixel rows of a row's frame around its middle: those that change when the pointer comes
  // over it from a row further down the list (the list itself stays hovered). Rows 40 apart.
  const int first = kFileRow.y + 14, reach = 30, away = first + 5 * 40, between = first + 4 * 40;
  auto frameOf = [&](int middle, int* top, int* bottom, std::vector<uint8_t>* hovered) {
    const std::vector<uint8_t> start = WorkbenchGrab(window);
    if (!pointer(x, away, false)) return false;
    const std::vector<uint8_t> before = WorkbenchGrabUntil(window, differs(start, away - reach, away + reach));
    if (!pointer(x, middle, false)) return false;
    *hovered = WorkbenchGrabUntil(window, differs(before, middle - reach, middle + reach));
    *top = *bottom = -1;
    for (int y = middle - reach; y <= middle + reach; ++y)
      if (at(*hovered, y) != at(before, y)) {
        if (*top < 0) *top = y;
        *bottom = y;
      }
    return *top >= 0;
  };
  int middle = first;
  for (int row = 0; row < 2; ++row) {
    int top = -1, bottom = -1;
    std::vector<uint8_t> hovered;
    ASSERT_TRUE(frameOf(middle, &top, &bottom, &hovered)) << "row " << row << ": no frame drawn";
    for (int edge : {top, bottom}) {
      ASSERT_TRUE(pointer(x, edge, true));
      ASSERT_TRUE(pointer(x, between, false));
      // Picked, the row keeps its frame: both edges read as while hovered.
      auto framed = [&](const std::vector<uint8_t>& rgb) {
        return at(rgb, top) == at(hovered, top) && at(rgb, bottom) == at(hovered, bottom);
      };
      std::vector<uint8_t> now = WorkbenchGrabUntil(window, framed, std::chrono::seconds(3));
      EXPECT_TRUE(framed(now)) << "row " << row << ": a click on pixel row " << edge << " (frame " << top << " to "
                               << bottom << ") picks nothing";
      // Another row picked between the two edges, so that the second click must pick this one again.
      if (edge == top) {
        ASSERT_TRUE(pointer(x, between, true));
      }
    }
    middle = bottom + (bottom - top) / 2 + 2;
  }
  (void)capture("workbench-pick-rows-picked", &window);
  // The folder list: a click on the first pixel row of the "sub" row's frame opens that empty
  // folder, and the file list empties.
  const int folders = 165, sub = 86;
  auto column = [&](const std::vector<uint8_t>& rgb, int cx, int y) {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * window.w + cx) * 3];
    return std::array<uint8_t, 3>{p[0], p[1], p[2]};
  };
  const std::vector<uint8_t> listed = WorkbenchGrab(window);
  ASSERT_TRUE(pointer(folders, sub, false));
  const std::vector<uint8_t> over = WorkbenchGrabUntil(window, [&](const std::vector<uint8_t>& rgb) {
    for (int y = sub - 16; y <= sub + 16; ++y)
      if (column(rgb, folders, y) != column(listed, folders, y)) return true;
    return false;
  });
  int top = -1;
  for (int y = sub - 16; y <= sub + 16 && top < 0; ++y)
    if (column(over, folders, y) != column(listed, folders, y)) top = y;
  ASSERT_GE(top, 0) << "no frame drawn on the folder row";
  ASSERT_TRUE(pointer(folders, top, true));
  auto noFiles = [&](const std::vector<uint8_t>& rgb) {
    for (int y = first - 10; y < first + 10; ++y)  // where "a.json" was
      for (int cx = 250; cx < 300; ++cx)
        if (column(rgb, cx, y) != column(rgb, 300, first + 200)) return false;
    return true;
  };
  EXPECT_TRUE(noFiles(capture("workbench-pick-rows-folder", &window, noFiles)))
      << "a click on pixel row " << top << ", the first of the folder row's frame, opens nothing";
  ASSERT_TRUE(program->signal(SIGINT));
  EXPECT_EQ(program->waitForExit(), 0) << program->output();
}

TEST_F(WorkbenchTest, ASolutionThatCannotBeLoadedIsReportedAndTheWorkbenchKeepsRunning) {
  struct Case {
    std::string argument;
    const char* said;
  };
  const Case cases[] = {
      {writeSolution("broken.json", "{\"processors\": ["), "Cannot load "},
      {data.path() + "/missing.json", "no such file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    auto program = start({c.argument});
    ASSERT_TRUE(program->waitForOutput(c.said)) << program->output();
    ScreenRect window;
    EXPECT_TRUE(WorkbenchFindWindow("vesko", &window));
    ASSERT_TRUE(program->signal(SIGINT));
    EXPECT_EQ(program->waitForExit(), 0) << program->output();
    EXPECT_TRUE(recents().empty());
  }
}

// How many lines of the program's standard error hold the text.
size_t linesWith(const std::string& output, const std::string& text) {
  size_t lines = 0;
  for (size_t start = 0; start < output.size();) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    lines += output.substr(start, end - start).find(text) != std::string::npos;
    start = end + 1;
  }
  return lines;
}

// A broken file picked with "Load a solution" while the demonstration runs is refused before
// anything is wiped: the stage goes on ticking (the statistics graph keeps moving), and the user
// reads one message that names the file once, says where the fault is and that the running
// solution is kept, wrapped inside the window's width.
TEST_F(WorkbenchTest, ABrokenSolutionPickedWhileTheDemonstrationRunsLeavesItRunning) {
  struct Case {
    const char* name;
    const char* text;
    const char* said;
  };
  const Case cases[] = {
      {"broken.json", "{\"processors\": [", "not JSON at line 1, column 17: unexpected end of input"},
      {"unknown-module.json", "{\"modules\": [\"modNothing\"], \"processors\": []}",
       "modules[0]: module modNothing not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeStatisticsOpenConfig();
    TemporaryFolder home;
    const std::string picked = home.path() + "/" + c.name;
    ASSERT_TRUE(LLKFWriteFileAtomically(picked.c_str(), c.text, std::strlen(c.text)));
    auto program = std::make_unique<WorkbenchProcess>(
        VESKO_PROGRAM, std::vector<std::string>{demo},
        std::vector<std::string>{"VESKO_CONFIG_DIR=" + settings.path(), "XDG_DATA_HOME=" + data.path(),
                                 "HOME=" + home.path(), kNoLeakCheck});
    ASSERT_TRUE(program->waitForOutput("loaded " + demo)) << program->output();
    ScreenRect window;
    ASSERT_TRUE(WorkbenchFindWindow("vesko", &window));
    // Commands > Load a solution, the file, "Select".
    ASSERT_TRUE(click(window, 78, 13));
    ASSERT_TRUE(drawnAt(window, 90, 36)(WorkbenchGrabUntil(window, drawnAt(window, 90, 36))));
    ASSERT_TRUE(click(window, 90, 36));
    ASSERT_TRUE(drawnAt(window, 300, 200)(WorkbenchGrabUntil(window, drawnAt(window, 300, 200))));
    ASSERT_TRUE(click(window, kFileRow.x, kFileRow.y));
    ASSERT_TRUE(click(window, kSelect.x, kSelect.y));
    ASSERT_TRUE(program->waitForOutput("Cannot load")) << program->output();

    // The stage still ticks: the submitted-chunks graph moves on.
    const ScreenRect graph{window.x + 36, window.y + 160, 164, 50};
    const std::vector<uint8_t> before = WorkbenchGrab(graph);
    EXPECT_NE(WorkbenchGrabUntil(graph, [&](const std::vector<uint8_t>& now) { return now != before; }), before)
        << "the running demonstration was stopped";
    // One line on standard error, naming the file once, with the place of the fault.
    const std::string& said = program->output();
    EXPECT_EQ(linesWith(said, "Cannot load"), 1u) << said;
    EXPECT_EQ(linesWith(said, picked), 1u) << said;
    EXPECT_EQ(said.find(picked), said.rfind(picked)) << said;
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
    EXPECT_NE(said.find("The running solution is kept."), std::string::npos) << said;
    EXPECT_EQ(said.find("json.exception"), std::string::npos) << said;
    // The status along the bottom is wrapped inside the window: its right edge shows nothing
    // but the window's background.
    std::vector<uint8_t> shown = capture(c.name[0] == 'b' ? "load-slip-json" : "load-slip-module", &window);
    ASSERT_FALSE(shown.empty());
    auto at = [&](int x, int y) { return &shown[(static_cast<size_t>(y) * window.w + x) * 3]; };
    const uint8_t* background = at(window.w - 2, window.h - 2);
    size_t text = 0, atEdge = 0;
    for (int y = window.h - 60; y < window.h; ++y)
      for (int x = 0; x < window.w; ++x)
        if (std::memcmp(at(x, y), background, 3) != 0) (x >= window.w - 12 ? atEdge : text) += 1;
    EXPECT_GT(text, 100u) << "the status shows the message";
    EXPECT_EQ(atEdge, 0u) << "the status runs out of the window";
    ASSERT_TRUE(program->signal(SIGTERM));
    EXPECT_EQ(program->waitForExit(), 0) << program->output();
    EXPECT_EQ(recents(), std::vector<std::string>{demo});
  }
}

// Views saved where this window cannot show them (at x = 910 when it opens 640 pixels wide, or
// at the far ends of the float range) open with a grip of their title bar inside it, and are
// saved from there; a saved state that cannot be used is said and not written back unchanged.
TEST_F(WorkbenchTest, ViewsSavedOutOfTheWindowOpenWithinReach) {
  Ref<JSKCFrame> seeded = JSKCFrame::frame();
  Ref<JSKCFrame> timeline = JSKCFrame::frame();
  (void)timeline->storeBool(true, "visible");
  (void)OGL::storePoint(*timeline, {910, 100}, "position");
  (void)OGL::storeSize(*timeline, {400, 300}, "size");
  (void)seeded->store(timeline, "ui.timeline");
  Ref<JSKCFrame> stats = JSKCFrame::frame();
  (void)stats->storeBool(true, "visible");
  (void)OGL::storePoint(*stats, {1e38f, -1e38f}, "position");
  (void)stats->storeString("big", "size");
  (void)seeded->store(stats, "ui.stats.ctm");
  writeConfig(*seeded);

  ScreenRect window;
  auto program = startDemo(&window);
  ASSERT_FALSE(HasFailure());
  ASSERT_EQ(window.w, 640);
  // The timeline's title bar at the right edge, level with its saved place, and the statistics
  // view's at the top right corner, below the menu bar (24 high).
  auto reachable = [&](const std::vector<uint8_t>& rgb) {
    return drawnAt(window, window.w - 20, 110)(rgb) && drawnAt(window, window.w - 20, 34)(rgb);
  };
  EXPECT_TRUE(reachable(capture("views-within-reach", &window, reachable)));
  EXPECT_NE(program->output().find("ui.stats.ctm has a \"size\" that is not a size"), std::string::npos)
      << program->output();
  ASSERT_TRUE(program->signal(SIGTERM));
  ASSERT_EQ(program->waitForExit(), 0) << program->output();
  for (const char* key : {"ui.timeline", "ui.stats.ctm"}) {
    SCOPED_TRACE(key);
    Ref<JSKCFrame> saved = config()->frameForLabel(key);
    ASSERT_TRUE(saved);
    EXPECT_TRUE(saved->boolForLabel("visible", false));
    OGLTPoint position = OGL::pointForLabel(*saved, "position", {-1, -1});
    EXPECT_GE(position.x, 0);
    EXPECT_LE(position.x, window.w - 40);
    EXPECT_GE(position.y, 24);
    EXPECT_LE(position.y, window.h - 20);
  }
  EXPECT_FALSE(config()->frameForLabel("ui.stats.ctm")->fetchForLabel("size"));
}

// A folder in which no new file can be made, even by root (made immutable when its mode alone
// does not stop the user); given back writable when it ends. locked() is false when neither way
// works here.
class LockedFolder {
public:
  explicit LockedFolder(const std::string& path) : path_(path) {
    chmod(path_.c_str(), 0555);
    if (refusesNewFiles()) return;
    int fd = open(path_.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags |= FS_IMMUTABLE_FL;
      immutable_ = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (fd >= 0) close(fd);
  }
  ~LockedFolder() {
    if (immutable_) {
      int fd = open(path_.c_str(), O_RDONLY | O_DIRECTORY);
      int flags = 0;
      if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags &= ~FS_IMMUTABLE_FL;
        (void)ioctl(fd, FS_IOC_SETFLAGS, &flags);
      }
      if (fd >= 0) close(fd);
    }
    chmod(path_.c_str(), 0755);
  }
  bool locked() const { return refusesNewFiles(); }

private:
  bool refusesNewFiles() const {
    std::string probe = path_ + "/probe.XXXXXX";
    int fd = mkstemp(probe.data());
    if (fd < 0) return true;
    close(fd);
    unlink(probe.c_str());
    return false;
  }
  std::string path_;
  bool immutable_ = false;
};

// With a settings folder that takes no new file, the settings file there is rewritten in place;
// without one, the window says at start that this session's settings cannot be saved, and the
// end says it in one line.
TEST_F(WorkbenchTest, ASettingsFolderThatCannotBeWrittenIsRewrittenInPlaceOrSaidAtStart) {
  for (bool withFile : {true, false}) {
    SCOPED_TRACE(withFile ? "a settings file" : "no settings file");
    std::filesystem::create_directories(settings.path() + "/vesko");
    std::filesystem::remove(configPath());
    if (withFile) writeConfig(*JSKCFrame::frame());
    LockedFolder lock(settings.path() + "/vesko");
    if (!lock.locked()) GTEST_SKIP() << "no folder can be locked here";
    ScreenRect window;
    // With the settings file, the demonstration runs, to be remembered among the recents; without
    // one, the window opens alone and its status along the bottom says what is wrong.
    auto program = withFile ? startDemo(&window) : start({});
    ASSERT_FALSE(HasFailure());
    if (!withFile) {
      ASSERT_TRUE(program->waitForOutput("cannot be saved")) << program->output();
      ASSERT_TRUE(WorkbenchFindWindow("vesko", &window));
      auto stated = [&](const std::vector<uint8_t>& rgb) {
        for (int y = window.h - 30; y < window.h - 2; ++y)
          for (int x = 0; x < 300; ++x)
            if (drawnAt(window, x, y)(rgb)) return true;
        return false;
      };
      EXPECT_TRUE(stated(capture("settings-cannot-be-saved", &window, stated)));
    }
    EXPECT_EQ(program->output().find("cannot be saved") != std::string::npos, !withFile) << program->output();
    ASSERT_TRUE(program->signal(SIGTERM));
    ASSERT_EQ(program->waitForExit(), 0) << program->output();
    if (withFile) {
      EXPECT_EQ(recents(), std::vector<std::string>{demo}) << program->output();
      EXPECT_EQ(program->output().find("not saved"), std::string::npos) << program->output();
    } else {
      EXPECT_FALSE(std::filesystem::exists(configPath()));
      EXPECT_EQ(linesWith(program->output(), "not saved"), 1u) << program->output();
    }
  }
}

// The timeline, opened from Views > Conscious contents while the demonstration CTM runs, shows
// its ticks as cards that change with the ticks; paused it keeps the card on show however many
// ticks arrive; stepping back shows another; its settings are saved at the end.
TEST_F(WorkbenchTest, TheTimelineShowsTicksAsCardsAndPausingFreezesThem) {
  auto program = start({demo});
  ASSERT_TRUE(program->waitForOutput("loaded " + demo)) << program->output();
  ScreenRect window;
  ASSERT_TRUE(WorkbenchFindWindow("vesko", &window));
  ASSERT_TRUE(click(window, 120, 13));
  ASSERT_TRUE(click(window, 158, 90));  // Views > Conscious contents

  // The timeline's surface in the window: below its title and button rows.
  const ScreenRect surface{window.x + 12, window.y + 150, 600, window.h - 150};
  // Cards are framed in strong colours (green, red, blue) that nothing else on the surface has.
  auto cardPixels = [](const std::vector<uint8_t>& rgb) {
    size_t found = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
      found += std::max({rgb[i], rgb[i + 1], rgb[i + 2]}) - std::min({rgb[i], rgb[i + 1], rgb[i + 2]}) > 80;
    return found;
  };
  auto waitFor = [&](const std::function<bool(const std::vector<uint8_t>&)>& shows) {
    return WorkbenchGrabUntil(surface, shows);
  };
  std::vector<uint8_t> cards = waitFor([&](const auto& rgb) { return cardPixels(rgb) > 200; });
  ASSERT_GT(cardPixels(cards), 200u) << "cards appear";
  std::vector<uint8_t> live = waitFor([&](const auto& rgb) { return cardPixels(rgb) > 200 && rgb != cards; });
  EXPECT_NE(live, cards) << "live, the cards follow the ticks";
  (void)capture("timeline-live", &window);

  // The live button (fourth of six in the row above the surface) pauses.
  std::vector<uint8_t> buttons = WorkbenchGrab({window.x + 270, window.y + 125, 120, 20});
  ASSERT_TRUE(click(window, 340, 135));
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (WorkbenchGrab({window.x + 270, window.y + 125, 120, 20}) == buttons &&
         std::chrono::steady_clock::now() < deadline) {}
  std::vector<uint8_t> paused = WorkbenchGrab(surface);
  // Over a second and a half (six ticks of the demonstration stage) nothing moves.
  const auto watchUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
  size_t changed = 0;
  while (std::chrono::steady_clock::now() < watchUntil) changed += WorkbenchGrab(surface) != paused;
  EXPECT_EQ(changed, 0u) << "pausing freezes the cards";
  EXPECT_GT(cardPixels(paused), 200u);
  (void)capture("timeline-paused", &window);

  // Previous shows the tick before.
  ASSERT_TRUE(click(window, 320, 135));
  std::vector<uint8_t> stepped = waitFor([&](const auto& rgb) { return rgb != paused; });
  EXPECT_NE(stepped, paused) << "stepping back shows another tick";
  (void)capture("timeline-stepped", &window);

  ASSERT_TRUE(program->signal(SIGINT));
  ASSERT_EQ(program->waitForExit(), 0) << program->output();
  Ref<JSKCFrame> timeline = config()->frameForLabel("ui.timeline");
  ASSERT_TRUE(timeline);
  EXPECT_TRUE(timeline->boolForLabel("visible", false));
  EXPECT_FALSE(timeline->boolForLabel("hide.kudos", true));
}

TEST_F(WorkbenchTest, WithoutADisplayItExitsWithAReason) {
  WorkbenchProcess program(
      VESKO_PROGRAM, {demo},
      {"DISPLAY=:4095", "VESKO_CONFIG_DIR=" + settings.path(), "XDG_DATA_HOME=" + data.path(), kNoLeakCheck});
  EXPECT_EQ(program.waitForExit(), 1);
  EXPECT_NE(program.output().find("display"), std::string::npos) << program.output();
}

}  // namespace

// Whether something is drawn in the rect of the window's pixels besides the colour at the
// reference point (the feed's empty background).
bool drawnIn(const std::vector<uint8_t>& rgb, const ScreenRect& window, int left, int top, int right, int bottom,
             int refX, int refY) {
  auto at = [&](int x, int y) { return &rgb[(static_cast<size_t>(y) * window.w + x) * 3]; };
  const uint8_t* background = at(refX, refY);
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (std::memcmp(at(x, y), background, 3) != 0) return true;
  return false;
}

TEST_F(WorkbenchTest, APersonTalksWithTheDemonstrationInTheConversationView) {
  writeConversationOpenConfig();
  ScreenRect window;
  auto program = startDemo(&window);
  auto shows = [&](int left, int top, int right, int bottom) {
    return [&window, left, top, right, bottom](const std::vector<uint8_t>& rgb) {
      return drawnIn(rgb, window, left, top, right, bottom, 320, 360);
    };
  };
  // What the window shows once the rect differs from the last capture.
  std::vector<uint8_t> last;
  auto next = [&](const char* name, int left, int top, int right, int bottom) {
    auto changed = [&, left, top, right, bottom](const std::vector<uint8_t>& rgb) {
      for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
          size_t i = (static_cast<size_t>(y) * window.w + x) * 3;
          if (rgb.size() != last.size() || std::memcmp(&rgb[i], &last[i], 3) != 0) return true;
        }
      return false;
    };
    std::vector<uint8_t> now = capture(name, &window, changed);
    bool moved = changed(now);
    last = now;
    return moved;
  };
  // The CTM greets at the top left of the feed and asks the user's name.
  last = capture("conversation-greeting", &window, shows(20, 70, 200, 110));
  EXPECT_TRUE(shows(20, 70, 200, 110)(last));
  // The user types it; the CTM answers and offers a choice of colours.
  ASSERT_TRUE(click(window, 300, 400));
  ASSERT_TRUE(typeThenEnter("Ada"));
  EXPECT_TRUE(next("conversation-name", 20, 250, 210, 360));
  // The user picks green; the CTM answers and asks for a rating of that answer.
  ASSERT_TRUE(click(window, 68, 320));
  EXPECT_TRUE(next("conversation-choice", 20, 300, 300, 365));
  // Over the answer its rating symbols show; the user gives it a thumb up and is thanked.
  ASSERT_TRUE(hover(150, 325));
  last = capture("conversation-thumbs", &window, shows(296, 315, 310, 347));
  EXPECT_TRUE(shows(296, 315, 310, 347)(last));
  ASSERT_TRUE(click(window, 302, 323));
  EXPECT_TRUE(next("conversation-rated", 20, 250, 280, 365));
  // In term mode the user types a term, which the CTM reads and answers.
  ASSERT_TRUE(click(window, 21, 449));
  ASSERT_TRUE(click(window, 300, 400));
  std::vector<uint8_t> empty = WorkbenchGrab(window);
  ASSERT_TRUE(typeThenEnter("colour(sky)"));
  // Committed: the input box is empty again, and the feed moved on to the CTM's answer at its end.
  auto answered = [&](const std::vector<uint8_t>& rgb) {
    for (int y = 378; y < 395; ++y)
      for (int x = 15; x < 200; ++x) {
        size_t i = (static_cast<size_t>(y) * window.w + x) * 3;
        if (std::memcmp(&rgb[i], &empty[i], 3) != 0) return false;
      }
    return std::memcmp(&rgb[(290 * window.w + 40) * 3], &last[(290 * window.w + 40) * 3], 30) != 0 &&
           shows(20, 300, 280, 365)(rgb);
  };
  EXPECT_TRUE(answered(capture("conversation-term", &window, answered)));
  ASSERT_TRUE(program->signal(SIGTERM));
  EXPECT_EQ(program->waitForExit(), 0) << program->output();
}

// A burst of 200 keys, 10 ms apart, reaches the conversation's input box whole: selected and
// copied there, another client reads every character back.
TEST_F(WorkbenchTest, ABurstOfTwoHundredKeysReachesTheConversationInputWhole) {
  writeConversationOpenConfig();
  ScreenRect window;
  auto program = startDemo(&window);
  ASSERT_EQ(std::system("command -v xclip >/dev/null 2>&1"), 0);
  const std::string text = OGLTestBurstText();
  ASSERT_TRUE(click(window, 300, 400));
  std::string typing = std::string("xdotool type ") + kOGLTestBurstDelay + " '" + text + "'";
  ASSERT_EQ(std::system(typing.c_str()), 0);
  std::string copying = std::string("xdotool sleep 0.3 key ") + kOGLTestTypeDelay + " ctrl+a ctrl+c sleep 0.3";
  ASSERT_EQ(std::system(copying.c_str()), 0);
  EXPECT_EQ(OGLTestClipboardOfOtherClient(), text);
  capture("conversation-burst", &window, [](const std::vector<uint8_t>&) { return true; });
  ASSERT_TRUE(program->signal(SIGTERM));
  EXPECT_EQ(program->waitForExit(), 0) << program->output();
}

// A click on a bubble of the feed, then typing: the characters reach the input box (read back
// through the clipboard with the pointer over the input), none is lost to the bubble's
// read-only text.
TEST_F(WorkbenchTest, TypingAfterAClickOnABubbleReachesTheInput) {
  writeConversationOpenConfig();
  ScreenRect window;
  auto program = startDemo(&window);
  ASSERT_EQ(std::system("command -v xclip >/dev/null 2>&1"), 0);
  // The greeting's bubble at the top left of the feed.
  capture("conversation-bubble-before-click", &window, [&](const std::vector<uint8_t>& rgb) {
    return drawnIn(rgb, window, 20, 70, 200, 110, 320, 360);
  });
  // One xdotool run, each record at most 20 ms after the one before.
  const std::string text = "1234567890";
  const std::string typing = std::string("xdotool search --sync --name '^vesko$' windowfocus --sync ") +
                             "mousemove --window %1 60 90 sleep 0.02 click 1 sleep 0.02 key " + kOGLTestTypeDelay +
                             " 1 2 3 4 5 6 7 8 9 0 mousemove --window %1 300 400 sleep 0.02 key " + kOGLTestTypeDelay +
                             " ctrl+a ctrl+c";
  ASSERT_EQ(std::system(typing.c_str()), 0);
  std::string copied;
  for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
       copied != text && std::chrono::steady_clock::now() < until;)
    copied = OGLTestClipboardOfOtherClient();
  EXPECT_EQ(copied, text);
  capture("conversation-typed-after-bubble-click", &window, [](const std::vector<uint8_t>&) { return true; });
  ASSERT_TRUE(program->signal(SIGTERM));
  EXPECT_EQ(program->waitForExit(), 0) << program->output();
}

namespace {

// A light pixel (text, a card's frame) in the rect of the window's pixels.
bool lightIn(const std::vector<uint8_t>& rgb, const ScreenRect& window, ScreenRect area) {
  for (int y = area.y; y < area.y + area.h && y < window.h; ++y)
    for (int x = area.x; x < area.x + area.w && x < window.w; ++x) {
      const uint8_t* p = &rgb[(static_cast<size_t>(y) * window.w + x) * 3];
      if (std::max({p[0], p[1], p[2]}) > 120) return true;
    }
  return false;
}

TEST_F(WorkbenchTest, AChunkPickedOnTheTimelineShowsInTheChunkViewer) {
  // The timeline along the top, the chunk viewer's place below its first row of cards.
  Ref<JSKCFrame> seeded = JSKCFrame::frame();
  struct Place {
    const char* key;
    bool visible;
    OGLTPoint position;
    OGLTSize size;
  };
  for (const Place& place :
       {Place{"ui.timeline", true, {10, 40}, {560, 300}}, Place{"ui.gist", false, {20, 180}, {600, 290}}}) {
    Ref<JSKCFrame> frame = JSKCFrame::frame();
    (void)frame->storeBool(place.visible, "visible");
    (void)OGL::storePoint(*frame, place.position, "position");
    (void)OGL::storeSize(*frame, place.size, "size");
    (void)seeded->store(frame, place.key);
  }
  writeConfig(*seeded);

  ScreenRect window;
  auto program = startDemo(&window);
  ASSERT_FALSE(HasFailure());
  // The timeline shows the running stage's ticks: the frame of the first card.
  const ScreenRect cardFrame{60, 98, 460, 24};
  auto carded = [&](const std::vector<uint8_t>& rgb) { return lightIn(rgb, window, cardFrame); };
  const std::vector<uint8_t> before = capture("viewers-timeline", &window, carded);
  ASSERT_TRUE(carded(before));
  // Commands > Wipe stops the stage, so the chunk viewer opened next (Views > Chunk viewer) has
  // no tick to follow and shows nothing.
  ASSERT_TRUE(click(window, 78, 13));
  ASSERT_TRUE(click(window, 70, 90));  // Commands > Wipe
  ASSERT_TRUE(program->waitForOutput("wiped")) << program->output();
  ASSERT_TRUE(click(window, 115, 13));
  ASSERT_TRUE(click(window, 140, 72));
  const ScreenRect viewerTitle{260, 184, 120, 14}, viewerSurface{40, 210, 560, 230};
  auto opened = [&](const std::vector<uint8_t>& rgb) { return changedIn(rgb, before, window, viewerTitle); };
  std::vector<uint8_t> empty = capture("viewers-chunk-viewer-empty", &window, opened);
  ASSERT_TRUE(opened(empty));
  EXPECT_FALSE(lightIn(empty, window, viewerSurface));
  // A click on a card picks its chunk: the chunk viewer shows its caption and gist. (The point
  // lies on a card of the first row whether the tick has one, two or three; the button is held
  // a moment, as a hand does, so press and release come in frames of their own.)
  ASSERT_TRUE(pointer(220, 130, " mousedown 1 sleep 0.2 mouseup 1 sleep 0.15"));
  auto shown = [&](const std::vector<uint8_t>& rgb) { return lightIn(rgb, window, viewerSurface); };
  const std::vector<uint8_t> picked = capture("viewers-chunk-picked", &window, shown);
  EXPECT_TRUE(shown(picked)) << program->output();
  // Views > Expression opens the expression viewer at its default place, over the others.
  ASSERT_TRUE(click(window, 115, 13));
  ASSERT_TRUE(click(window, 140, 54));
  const ScreenRect expressionTitle{200, 104, 240, 14};
  auto expressionShown = [&](const std::vector<uint8_t>& rgb) {
    return changedIn(rgb, picked, window, expressionTitle);
  };
  EXPECT_TRUE(expressionShown(capture("viewers-expression", &window, expressionShown)));
  ASSERT_TRUE(program->signal(SIGTERM));
  ASSERT_EQ(program->waitForExit(), 0) << program->output();
  // Both viewers are saved as open, to be reopened at the next start.
  for (const char* key : {"ui.gist", "ui.expression"}) {
    Ref<JSKCFrame> saved = config()->frameForLabel(key);
    ASSERT_TRUE(saved) << key;
    EXPECT_TRUE(saved->boolForLabel("visible", false)) << key;
  }
}

}  // namespace

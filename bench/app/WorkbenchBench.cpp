// The workbench as a user meets it, on the display (a private Xvfb without one), with the
// demonstration solution and fresh settings and data folders:
//  - StartToFirstFrame: from starting the program to its first frame on screen (the menu bar
//    drawn); target under 500 ms.
//  - QuitToExit: from SIGTERM to the end of the process (settings written); target under 300 ms.
//  - MemoryOverTicks: peak resident memory after 1 000 and after 10 000 ticks of the stage at a
//    5 ms period with the statistics view open (stats), and with every view of the workbench
//    reopened from the settings as well (every_view); it should not grow after the first 1 000.
// Each timing is the median of 10 runs.
#include <benchmark/benchmark.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>

#include "framework/core/LLKFFiles.h"
#include "tests/app/WorkbenchProcess.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/gl/OGLTestXServer.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kDemo = std::string(VESKO_SOURCE_DIR) + "/etc/vesko/demo.json";

struct Run {
  TemporaryFolder settings, data;
  std::unique_ptr<WorkbenchProcess> program;

  // The settings text, when given, is written as the settings file before the start.
  explicit Run(const std::string& solution, const std::string& settingsText = {}) {
    std::filesystem::create_directories(settings.path() + "/vesko");
    std::string path = settings.path() + "/vesko/config.json";
    if (!settingsText.empty()) (void)LLKFWriteFileAtomically(path.c_str(), settingsText.data(), settingsText.size());
    program = std::make_unique<WorkbenchProcess>(
        VESKO_PROGRAM, std::vector<std::string>{solution},
        std::vector<std::string>{"VESKO_CONFIG_DIR=" + settings.path(), "XDG_DATA_HOME=" + data.path()});
  }
};

// The menu bar's corner shows something else than the window's far corner.
bool firstFrameShown() {
  ScreenRect window;
  if (!WorkbenchFindWindow("vesko", &window, std::chrono::milliseconds(0))) return false;
  // A window just mapped may not have its size yet: too small to hold the corners looked at.
  if (window.w < 40 || window.h < 24) return false;
  std::vector<uint8_t> rgb = WorkbenchGrab(window);
  if (rgb.size() != static_cast<size_t>(window.w) * window.h * 3) return false;
  const uint8_t* corner = &rgb[(static_cast<size_t>(5) * window.w + window.w - 5) * 3];
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 40; ++x) {
      const uint8_t* p = &rgb[(static_cast<size_t>(y) * window.w + x) * 3];
      if (p[0] != corner[0] || p[1] != corner[1] || p[2] != corner[2]) return true;
    }
  return false;
}

bool waitForFirstFrame() {
  auto deadline = Clock::now() + std::chrono::seconds(30);
  while (Clock::now() < deadline)
    if (firstFrameShown()) return true;
  return false;
}

void StartToFirstFrame(benchmark::State& state) {
  if (!OGLTestEnsureDisplay()) state.SkipWithError("no display");
  for (auto _ : state) {
    auto start = Clock::now();
    Run run(kDemo);
    if (!waitForFirstFrame()) {
      state.SkipWithError("no first frame");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    run.program->signal(SIGTERM);
    (void)run.program->waitForExit();
  }
}

void QuitToExit(benchmark::State& state) {
  if (!OGLTestEnsureDisplay()) state.SkipWithError("no display");
  for (auto _ : state) {
    Run run(kDemo);
    if (!run.program->waitForOutput("loaded ") || !waitForFirstFrame()) {
      state.SkipWithError("the program did not start");
      return;
    }
    auto start = Clock::now();
    run.program->signal(SIGTERM);
    if (run.program->waitForExit() != 0) {
      state.SkipWithError("the program did not exit cleanly");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
}

// VmHWM of the process, in kB.
double peakKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6));
  return 0;
}

void MemoryOverTicks(benchmark::State& state, const std::string& settingsText) {
  if (!OGLTestEnsureDisplay()) state.SkipWithError("no display");
  TemporaryFolder folder;
  std::string text;
  if (!LLKFReadFile(kDemo.c_str(), text)) {
    state.SkipWithError("no demonstration solution");
    return;
  }
  text = std::regex_replace(text, std::regex("\"tick\": *250"), "\"tick\": 5");
  std::string fast = folder.path() + "/fast.json";
  (void)LLKFWriteFileAtomically(fast.c_str(), text.data(), text.size());
  for (auto _ : state) {
    Run run(fast, settingsText);
    if (!run.program->waitForOutput("loaded ")) {
      state.SkipWithError("the program did not start");
      return;
    }
    // The ticks run on the stage's timer; the program is left to run for their time.
    std::this_thread::sleep_for(std::chrono::seconds(5));
    state.counters["peak_kB_1000_ticks"] = peakKilobytes(run.program->pid());
    std::this_thread::sleep_for(std::chrono::seconds(45));
    state.counters["peak_kB_10000_ticks"] = peakKilobytes(run.program->pid());
    run.program->signal(SIGTERM);
    (void)run.program->waitForExit();
  }
}

// Settings that reopen the statistics view, and with it every other view when asked.
std::string visibleViews(bool everyView) {
  std::string text = "{\"ui.stats.ctm\": {\"visible\": true}";
  if (everyView)
    for (const char* key : {"ui.conversation", "ui.timeline", "ui.expression", "ui.gist", "ui.uvc.feed",
                            "ui.qav.seg.fovl", "ui.qav.seg.peri", "ui.qav.lab.fovl", "ui.qav.lab.peri", "ui.inject",
                            "ui.inject.keys", "ui.cocofeed", "ui.qav.labeling.fovl", "ui.qav.labeling.peri"})
      text += std::string(", \"") + key + "\": {\"visible\": true}";
  return text + "}";
}

}  // namespace

BENCHMARK(StartToFirstFrame)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(QuitToExit)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MemoryOverTicks, stats, visibleViews(false))->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(MemoryOverTicks, every_view, visibleViews(true))->Iterations(1)->Unit(benchmark::kSecond);

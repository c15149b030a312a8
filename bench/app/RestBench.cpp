// The workbench at rest, on the display (a private Xvfb without one), with fresh settings and
// data folders: the processor time the real program takes over 20 s, read from
// /proc/<pid>/stat, as a percentage of one core, side by side:
//  - nothing_loaded: no solution, no view open;
//  - nothing_loaded_ctm_views: no solution, every view of the CTM open;
//  - demonstration_ctm_views: the demonstration running (4 ticks a second) with every view of
//    the CTM open.
// Targets: under 1 % of a core with nothing loaded, with or without the views; the
// demonstration's ticks cost no more than the frames that show them.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "framework/core/LLKFFiles.h"
#include "tests/app/WorkbenchProcess.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/gl/OGLTestXServer.h"

namespace {

const std::string kDemo = std::string(VESKO_SOURCE_DIR) + "/etc/vesko/demo.json";
const std::string kCtmViews =
    R"({"ui.conversation": {"visible": true}, "ui.timeline": {"visible": true}, "ui.expression": {"visible": true},)"
    R"( "ui.gist": {"visible": true}})";

// User and system time of the process so far, in seconds.
double processorSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // The fields after the command name, which may hold spaces, start after its closing bracket.
  size_t close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  double ticks = 0;
  for (int index = 3; fields >> field && index <= 15; ++index)
    if (index == 14 || index == 15) ticks += std::stod(field);
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void CpuAtRest(benchmark::State& state, const std::string& solution, const std::string& settingsText) {
  if (!OGLTestEnsureDisplay()) state.SkipWithError("no display");
  for (auto _ : state) {
    TemporaryFolder settings, data;
    std::filesystem::create_directories(settings.path() + "/vesko");
    std::string path = settings.path() + "/vesko/config.json";
    if (!settingsText.empty()) (void)LLKFWriteFileAtomically(path.c_str(), settingsText.data(), settingsText.size());
    std::vector<std::string> arguments;
    if (!solution.empty()) arguments.push_back(solution);
    WorkbenchProcess program(
        VESKO_PROGRAM, arguments,
        std::vector<std::string>{"VESKO_CONFIG_DIR=" + settings.path(), "XDG_DATA_HOME=" + data.path()});
    ScreenRect window;
    if (!WorkbenchFindWindow("vesko", &window) ||
        (!solution.empty() && !program.waitForOutput("loaded "))) {
      state.SkipWithError("the program did not start");
      return;
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));  // the first frames and the views' opening
    double before = processorSeconds(program.pid());
    auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(20));
    double spent = processorSeconds(program.pid()) - before;
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["cpu_percent_of_a_core"] = 100 * spent / elapsed;
    program.signal(SIGTERM);
    (void)program.waitForExit();
  }
}

}  // namespace

BENCHMARK_CAPTURE(CpuAtRest, nothing_loaded, std::string(), std::string())->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(CpuAtRest, nothing_loaded_ctm_views, std::string(), kCtmViews)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(CpuAtRest, demonstration_ctm_views, kDemo, kCtmViews)->Iterations(1)->Unit(benchmark::kSecond);

// Opening a folder of 100 000 files in a file picker in a headless window: the time until the
// first batch is on screen, the time until the listing ended, and the longest frame while it
// listed (a frame here is the window's beat with the batches that came since the last one).
// Beside it, the reference: the same folder listed and looked at (stat) on one thread with
// std::filesystem, what the disk alone costs.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/widgets/QELTestHeadlessWindow.h"
#include "ui/widgets/QELBFilePicker.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The folder of 100 000 small files, made once for the run and removed at exit.
const std::filesystem::path& bigFolder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path path = std::filesystem::temp_directory_path() / ("vesko-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    for (int i = 0; i < 100000; ++i) std::ofstream(path / ("file" + std::to_string(i) + ".json")) << "{}";
    std::atexit([] {
      std::error_code error;
      std::filesystem::remove_all(std::filesystem::temp_directory_path() / ("vesko-bench-" + std::to_string(getpid())),
                                  error);
    });
    return path;
  }();
  return folder;
}

void BM_FilePickerOpensAHundredThousandFiles(benchmark::State& state) {
  const std::filesystem::path& folder = bigFolder();
  for (auto _ : state) {
    Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({1000, 800});
    Ref<QELCFilePicker> picker = QELCFilePicker::widgetWithSize({0, 0}, {0, 0});
    picker->setFilters({"json"});
    picker->setPath(folder.string());
    Clock::time_point start = Clock::now();
    window->attach(picker);
    double firstBatch = 0, longest = 0;
    uint64_t frames = 0;
    do {
      Clock::time_point frameStart = Clock::now();
      window->frame();
      double took = msSince(frameStart);
      ++frames;
      if (frames > 1) longest = std::max(longest, took);  // the first frame lays the picker out
      if (firstBatch == 0 && !picker->fileList()->live().empty()) firstBatch = msSince(start);
    } while (picker->listing() && msSince(start) < 120000);
    state.counters["first_batch_ms"] = firstBatch;
    state.counters["total_ms"] = msSince(start);
    state.counters["longest_frame_ms"] = longest;
    state.counters["frames"] = static_cast<double>(frames);
    state.counters["files"] = picker->source()->count();
    window->close();
  }
}
BENCHMARK(BM_FilePickerOpensAHundredThousandFiles)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ReferenceListAndStatOnOneThread(benchmark::State& state) {
  const std::filesystem::path& folder = bigFolder();
  for (auto _ : state) {
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      struct stat info {};
      if (::stat(entry.path().c_str(), &info) == 0 && S_ISREG(info.st_mode)) ++files;
    }
    benchmark::DoNotOptimize(files);
  }
}
BENCHMARK(BM_ReferenceListAndStatOnOneThread)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

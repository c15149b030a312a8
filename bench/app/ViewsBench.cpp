// The workbench's views all open at once in a headless window of 1280 x 960, reopened from
// settings that say every view was visible (four CTM views, the vision feeds, the inject and
// COCO feed views and both labelling views), one whole frame per step. Each step a tick of
// three chunks reaches the timeline and the chunk viewer as their observers would hand it over.
// Counters: the frame time's median and 99th percentile in ms, and the peak resident memory in
// kB after 1 000 and after 10 000 ticks (it should not grow once the views' bounded memories of
// ticks are full). Target: p99 under 16 ms on one core with the software GL driver.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "app/ctm/VSKBTermViewer.h"
#include "app/ctm/VSKCTimelineView.h"
#include "app/shell/VSKFWindowViews.h"
#include "framework/core/JSKCReader.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCSquib.h"
#include "tests/widgets/QELTestHeadlessWindow.h"

namespace {

const char* const kEveryView[] = {"ui.conversation",      "ui.timeline",         "ui.expression",   "ui.gist",
                                  "ui.uvc.feed",          "ui.qav.seg.fovl",     "ui.qav.seg.peri", "ui.qav.lab.fovl",
                                  "ui.qav.lab.peri",      "ui.inject",           "ui.inject.keys",  "ui.cocofeed",
                                  "ui.qav.labeling.fovl", "ui.qav.labeling.peri"};

double peakKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6));
  return 0;
}

// A tick squib of the stage: three submitted chunks, one of them the winner.
Ref<MRKCSquib> tickSquib(uint64_t tick) {
  std::string chunks;
  for (int i = 0; i < 3; ++i) {
    const std::string uid = "u" + std::to_string(tick * 3 + i);
    chunks += (i ? ", " : "") + std::string("[actor") + std::to_string(i) + ", 7, " + uid + ", tweet, said(" +
              std::to_string(tick) + ", hello), 1.0, 0.5, 0.25]";
  }
  const std::string text = "<ctm.tick [" + std::to_string(tick) + ", [" + chunks.substr(0, chunks.find("], ") + 1) +
                           "], {\"drop\": 0, \"chunks\": [" + chunks + "], \"links\": [], \"tick\": 250}] 1.0>";
  Ref<MRKBTerm> term = MRKCReader::reader()->readTermFromString(text);
  MRKCStatement* statement = term ? term->asStatement() : nullptr;
  return statement ? MRKCSquib::squibWithLabel("ctm.tick", statement, 5.0f) : nullptr;
}

void BM_EveryViewOpen(benchmark::State& state) {
  // Ticks a view could not read would make the figures meaningless: they are counted.
  size_t dropped = 0;
  (void)LLKFLogSetSink([&](const std::string& line) { dropped += line.find("dropped") != std::string::npos; });
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({1280, 960});
  std::string text = "{";
  for (const char* key : kEveryView)
    text += std::string(text.size() > 1 ? ", \"" : "\"") + key + "\": {\"visible\": true}";
  Ref<JSKCFrame> settings = JSKCReader::reader()->readFromString(text + "}");
  if (!window || !settings) {
    state.SkipWithError("no window or settings");
    return;
  }
  VSKFWindowRestoreViews(window.get(), settings.get());
  QELBWidget* timeline = window->locate("ui.timeline");
  QELBWidget* gist = window->locate("ui.gist");
  if (!timeline || !gist) {
    state.SkipWithError("the views did not open");
    return;
  }
  std::vector<double> frames;
  frames.reserve(10000);
  uint64_t tick = 0;
  for (auto _ : state) {
    Ref<MRKCSquib> squib = tickSquib(++tick);
    auto start = std::chrono::steady_clock::now();
    timeline->onMessaged(LLKCMessage::messageWithCode(LLKTMessageCode{kVSKTimelineSquib, 1, 0}, squib));
    gist->onMessaged(LLKCMessage::messageWithCode(LLKTMessageCode{kVSKViewerSquib, 1, 0}, squib));
    window->frame();
    frames.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (tick == 1000) state.counters["peak_kB_1000_ticks"] = peakKilobytes();
  }
  state.counters["peak_kB_end"] = peakKilobytes();
  state.counters["ticks_dropped"] = static_cast<double>(dropped);
  std::sort(frames.begin(), frames.end());
  state.counters["median_ms"] = frames[frames.size() / 2];
  state.counters["p99_ms"] = frames[frames.size() * 99 / 100];
  window->close();
  (void)LLKFLogSetSink(nullptr);
}

}  // namespace

BENCHMARK(BM_EveryViewOpen)->Iterations(10000)->Unit(benchmark::kMillisecond);

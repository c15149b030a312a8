// The conversation feed at length, in a headless window of the size of a screen's view, each
// iteration one whole frame (update, sync-up and drawing):
//  - AppendAndRedraw: one more CTM message at the end of a feed of N bubbles, then a frame.
//  - ScrollOnePage: the vertical bar moved by one page (down, then back up), then a frame.
// Target: under 8 ms per frame, the same for 100 as for 10 000 bubbles, since only the bubbles
// in view are laid out and drawn.
#include <benchmark/benchmark.h>

#include <string>

#include "app/ctm/VSKFConversationBubbles.h"
#include "tests/app/ConversationWindow.h"

namespace {

struct Feed : ConversationWindow {
  explicit Feed(int64_t bubbles) {
    (void)open();
    for (int64_t i = 0; i < bubbles; ++i) say(i);
    window->frame();
  }
  ~Feed() { close(); }
  void say(int64_t i) {
    uint32_t speaker = i % 3 == 0 ? kVSKSpeakerUser : kVSKSpeakerCTM;
    (void)feed().VSKFConversationAppendMessage(
        {speaker, kVSKEntryMessage, 0}, 0, "Bubble number " + std::to_string(i) + " of the long conversation", nullptr);
  }
};

void AppendAndRedraw(benchmark::State& state) {
  Feed feed(state.range(0));
  int64_t i = state.range(0);
  for (auto _ : state) {
    feed.say(i++);
    feed.window->frame();
  }
  state.counters["bubbles"] = static_cast<double>(feed.view->record().entries.size());
}

void ScrollOnePage(benchmark::State& state) {
  Feed feed(state.range(0));
  const VSKTConversationRecord& record = feed.record();
  float page = record.canvas->size().h / record.canvas->content().h;
  record.vbar->setScroll(0.5f);
  float direction = 1;
  for (auto _ : state) {
    record.vbar->setScroll(record.vbar->scroll() + direction * page);
    (void)record.vbar->trigger();
    feed.window->frame();
    direction = -direction;
  }
}

BENCHMARK(AppendAndRedraw)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(ScrollOnePage)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace

// Actors around one stage through the real substrate.
//  - BM_ActorsAroundStage/N: N actors tweeting on every tick of a stage at the default period
//    (250 ms): the tick lengths the stage broadcasts ("tick", p50 and p99, in ms) and the delay
//    from a broadcast to an actor's handling of it (p50 and p99, in ms).
//  - BM_ActorMemoryOver10000Ticks: 10 actors around a stage ticking every 5 ms; the peaks of
//    resident memory and of heap in use over ticks 1 000 to 5 500, and how much the peaks over
//    ticks 5 500 to 10 000 exceed them (must stay near 0).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <malloc.h>
#include <mutex>
#include <unistd.h>
#include <vector>

#include "framework/core/LLKFRandom.h"
#include "framework/core/LLKFTime.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "modules/ctm/actors/CTMBPLNActor.h"
#include "modules/ctm/stage/CTMCStage.h"

namespace {

// The ticks the first actor heard, shared with the benchmark's thread. The delays each actor
// heard stay with the actor until the run ends: a lock shared by all of them would serialise the
// very handling being measured.
struct Measures {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<double> ticks;  // the stage's "tick" values, ms
  uint64_t handled = 0;       // broadcasts handled by the first actor

  // Room for every figure of a run, so that collecting them does not count as growth.
  void reset() {
    std::lock_guard lock(mutex);
    ticks.clear();
    ticks.reserve(20000);
    handled = 0;
  }
  bool waitForTicks(uint64_t count, std::chrono::seconds limit) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, limit, [&] { return handled >= count; });
  }
};
Measures measures;

// Tweets on every tick and notes how late it heard the broadcast.
class BenchActor : public CTMBPLNActor {
public:
  using CTMBPLNActor::CTMBPLNActor;
  bool first = false;
  std::vector<double> delays;  // ms from broadcast to handling; touched only by the actor's hooks

  void onReceivedTick(MRKCList* winners, uint64_t tick, MRKCFrame* frame) override {
    const double heard = LLKFNowInS();
    delays.push_back((heard - MRKFFrameFetchReal(frame, "time", heard)) * 1000.0);
    if (first) {
      {
        std::lock_guard lock(measures.mutex);
        measures.ticks.push_back(static_cast<double>(MRKFFrameFetchUint(frame, "tick", 0)));
        ++measures.handled;
      }
      measures.changed.notify_all();
    }
    tweetWithGist(gist_.get(), static_cast<float>(LLKFRandomDraw()), 0.0f);
  }

private:
  Ref<MRKBTerm> gist_ = MRKCReader::reader()->readTermFromString("weather(sunny)");
};

double percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

// Bytes in use on the heap, over all of malloc's arenas.
double heapKiB() {
  struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd) / 1024.0;
}

double residentKiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1024.0;
}

// A substrate with a stage and n bench actors; detaches everything when it goes.
class Ring {
public:
  Ring(int actors, const std::string& stageProperties, const std::string& actorProperties) {
    Ref<MRKBTerm> stageFrame = MRKCReader::reader()->readTermFromString(stageProperties);
    Ref<CTMCStage> stage = CTMCStage::stageWithGuid({}, "ctm", {}, Ref<MRKCFrame>(asFrame(stageFrame.get())));
    for (int i = 0; i < actors; ++i) {
      Ref<MRKBTerm> properties = MRKCReader::reader()->readTermFromString(actorProperties);
      Ref<BenchActor> actor = refCast<BenchActor>(
          CTMFActorMake<BenchActor>({}, "actor" + std::to_string(i), {}, Ref<MRKCFrame>(asFrame(properties.get()))));
      actor->first = i == 0;
      actor->delays.reserve(20000);
      actors_.push_back(actor);
      processors_.push_back(actor);
    }
    measures.reset();
    for (const auto& processor : processors_) (void)substrate_->attach(processor.get(), false);
    (void)substrate_->attach(stage.get(), false);
    processors_.push_back(stage);
  }
  ~Ring() { stop(); }

  // Detaches everything: the actors' hooks have run for the last time when it returns.
  void stop() {
    for (auto it = processors_.rbegin(); it != processors_.rend(); ++it) substrate_->detach(it->get(), false);
    processors_.clear();
  }
  // Every actor's delays; call after stop().
  std::vector<double> delays() const {
    std::vector<double> all;
    for (const auto& actor : actors_) all.insert(all.end(), actor->delays.begin(), actor->delays.end());
    return all;
  }

private:
  Ref<MRKCSubstrate> substrate_ = MRKCSubstrate::substrate();
  std::vector<Ref<MRKBProcessor>> processors_;
  std::vector<Ref<BenchActor>> actors_;
};

void BM_ActorsAroundStage(benchmark::State& state) {
  constexpr uint64_t kTicks = 40;
  std::vector<double> delays;
  for (auto _ : state) {
    Ring ring(static_cast<int>(state.range(0)), "{}", "{}");
    if (!measures.waitForTicks(kTicks, std::chrono::seconds(120))) state.SkipWithError("the stage stopped ticking");
    ring.stop();
    delays = ring.delays();
  }
  std::lock_guard lock(measures.mutex);
  std::vector<double> ticks(measures.ticks.begin() + 1, measures.ticks.end());  // the first follows the attach
  state.counters["tick_p50_ms"] = percentile(ticks, 0.5);
  state.counters["tick_p99_ms"] = percentile(ticks, 0.99);
  state.counters["delay_p50_ms"] = percentile(delays, 0.5);
  state.counters["delay_p99_ms"] = percentile(delays, 0.99);
}
BENCHMARK(BM_ActorsAroundStage)->Arg(10)->Arg(100)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_ActorMemoryOver10000Ticks(benchmark::State& state) {
  // Memory swings with the pulse that forgets old records, so each half is judged by its peak.
  struct Peaks {
    double rss = 0, heap = 0;
  } first, second;
  for (auto _ : state) {
    Ring ring(10, "{\"tick\": 5}", "{\"ctime\": 0.5, \"rtime\": 0.5}");
    for (uint64_t tick = 1000; tick <= 10000; tick += 25) {
      if (!measures.waitForTicks(tick, std::chrono::seconds(300))) {
        state.SkipWithError("the stage stopped ticking");
        break;
      }
      Peaks& peaks = tick <= 5500 ? first : second;
      peaks.rss = std::max(peaks.rss, residentKiB());
      peaks.heap = std::max(peaks.heap, heapKiB());
    }
    measures.reset();
  }
  state.counters["rss_peak_1000_5500_KiB"] = first.rss;
  state.counters["rss_growth_KiB"] = second.rss - first.rss;
  state.counters["heap_peak_1000_5500_KiB"] = first.heap;
  state.counters["heap_growth_KiB"] = second.heap - first.heap;
}
BENCHMARK(BM_ActorMemoryOver10000Ticks)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

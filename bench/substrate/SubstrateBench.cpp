// Squibs from one publisher to 1, 10 and 100 followers: messages per second, and the time from
// publishing to the follower's hook (p50, p99).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"

namespace {

// Counts deliveries for all followers together; only the delivery that reaches the awaited
// count takes the lock, so the followers do not contend.
struct Tally {
  std::mutex mutex;
  std::condition_variable reached;
  std::atomic<uint64_t> delivered{0};
  std::atomic<uint64_t> target{0};

  void add() {
    if (delivered.fetch_add(1) + 1 == target.load()) {
      std::lock_guard lock(mutex);
      reached.notify_all();
    }
  }
  void waitFor(uint64_t count) {
    std::unique_lock lock(mutex);
    target.store(count);
    reached.wait(lock, [&] { return delivered.load() >= count; });
  }
};

class Follower : public MRKBProcessor {
public:
  explicit Follower(Tally& tally) : MRKBProcessor({}, "follower", {}, nullptr), tally_(tally) {}
  void onReceivedSquib(MRKCSquib* squib, const std::string&) override {
    latencies.push_back(MRKFNowInSeconds() - squib->stp());
    tally_.add();
  }
  std::vector<double> latencies;  // touched only by its hooks, read after they are done

private:
  Tally& tally_;
};

void BM_PublishToFollowers(benchmark::State& state) {
  const int followers = static_cast<int>(state.range(0));
  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Tally tally;
  std::vector<Ref<Follower>> group;
  for (int i = 0; i < followers; ++i) {
    Ref<Follower> follower = adoptRef(new Follower(tally));
    (void)substrate->attach(follower.get(), false);
    (void)substrate->disclose("bench", follower->guid(), 2);
    group.push_back(follower);
  }
  Ref<MRKCStatement> statement = MRKFMakeStatementWithTerm("bench", MRKCNumber::numberWithUint(1).get(), 1.0);
  const int batch = 1000;
  uint64_t published = 0;
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i) (void)substrate->publish(MRKCSquib::squibWithLabel("bench", statement.get(), 60.0f).get(), {});
    published += batch;
    tally.waitFor(published * static_cast<uint64_t>(followers));
  }
  std::vector<double> latencies;
  for (auto& follower : group) {
    substrate->detach(follower.get(), false);
    latencies.insert(latencies.end(), follower->latencies.begin(), follower->latencies.end());
  }
  std::sort(latencies.begin(), latencies.end());
  auto percentile = [&](double p) { return latencies.empty() ? 0.0 : latencies[static_cast<size_t>(p * (latencies.size() - 1))] * 1e6; };
  state.SetItemsProcessed(static_cast<int64_t>(published));
  state.counters["deliveries/s"] = benchmark::Counter(static_cast<double>(published) * followers, benchmark::Counter::kIsRate);
  state.counters["p50_us"] = percentile(0.50);
  state.counters["p99_us"] = percentile(0.99);
}
BENCHMARK(BM_PublishToFollowers)->Arg(1)->Arg(10)->Arg(100)->UseRealTime()->Unit(benchmark::kMillisecond);

// One squib at a time: the latency of a quiet substrate.
void BM_PublishOneAtATime(benchmark::State& state) {
  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Tally tally;
  Ref<Follower> follower = adoptRef(new Follower(tally));
  (void)substrate->attach(follower.get(), false);
  (void)substrate->disclose("bench", follower->guid(), 2);
  Ref<MRKCStatement> statement = MRKFMakeStatementWithTerm("bench", MRKCNumber::numberWithUint(1).get(), 1.0);
  uint64_t published = 0;
  for (auto _ : state) {
    (void)substrate->publish(MRKCSquib::squibWithLabel("bench", statement.get(), 60.0f).get(), {});
    tally.waitFor(++published);
  }
  substrate->detach(follower.get(), false);
  std::vector<double> latencies = follower->latencies;
  std::sort(latencies.begin(), latencies.end());
  auto percentile = [&](double p) { return latencies.empty() ? 0.0 : latencies[static_cast<size_t>(p * (latencies.size() - 1))] * 1e6; };
  state.counters["p50_us"] = percentile(0.50);
  state.counters["p99_us"] = percentile(0.99);
}
BENCHMARK(BM_PublishOneAtATime)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

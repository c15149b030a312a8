// Squibs from one publisher to 1, 10 and 100 followers: messages per second, the time from
// publishing to the follower's hook (p50, p99), and the process's user and kernel time. Side by
// side, the reference: a plain mutex-and-condition queue per follower, each drained by a thread
// of its own, carrying the same statement to the same work. And the detaching of many
// processors, as ending does.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
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

// The process's user and kernel seconds since it was made, as counters.
class CpuTimes {
public:
  CpuTimes() { getrusage(RUSAGE_SELF, &start_); }
  void report(benchmark::State& state) const {
    rusage now{};
    getrusage(RUSAGE_SELF, &now);
    auto seconds = [](const timeval& a, const timeval& b) {
      return static_cast<double>(b.tv_sec - a.tv_sec) + static_cast<double>(b.tv_usec - a.tv_usec) * 1e-6;
    };
    state.counters["user_s"] = seconds(start_.ru_utime, now.ru_utime);
    state.counters["sys_s"] = seconds(start_.ru_stime, now.ru_stime);
  }

private:
  rusage start_{};
};

// What every follower does with a squib, in both programs.
struct Hearing {
  std::vector<double> latencies;  // touched only by the follower, read after it is done

  void hear(MRKCSquib* squib, Tally& tally) {
    latencies.push_back(MRKFNowInSeconds() - squib->stp());
    tally.add();
  }
};

void reportLatencies(benchmark::State& state, const std::vector<const Hearing*>& hearings, uint64_t published,
                     int followers) {
  std::vector<double> latencies;
  for (const Hearing* hearing : hearings)
    latencies.insert(latencies.end(), hearing->latencies.begin(), hearing->latencies.end());
  std::sort(latencies.begin(), latencies.end());
  auto percentile = [&](double p) {
    return latencies.empty() ? 0.0 : latencies[static_cast<size_t>(p * (latencies.size() - 1))] * 1e6;
  };
  state.SetItemsProcessed(static_cast<int64_t>(published));
  state.counters["deliveries/s"] =
      benchmark::Counter(static_cast<double>(published) * followers, benchmark::Counter::kIsRate);
  state.counters["p50_us"] = percentile(0.50);
  state.counters["p99_us"] = percentile(0.99);
}

class Follower : public MRKBProcessor {
public:
  explicit Follower(Tally& tally) : MRKBProcessor({}, "follower", {}, nullptr), tally_(tally) {}
  void onReceivedSquib(MRKCSquib* squib, const std::string&) override { hearing.hear(squib, tally_); }
  Hearing hearing;

private:
  Tally& tally_;
};

// The reference: a follower thread draining its own queue.
class QueueFollower {
public:
  explicit QueueFollower(Tally& tally) : tally_(tally), thread_([this] { run(); }) {}
  ~QueueFollower() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    ready_.notify_one();
    thread_.join();
  }
  void push(const Ref<MRKCSquib>& squib) {
    {
      std::lock_guard lock(mutex_);
      queue_.push_back(squib);
    }
    ready_.notify_one();
  }
  Hearing hearing;

private:
  void run() {
    std::deque<Ref<MRKCSquib>> taken;
    std::unique_lock lock(mutex_);
    for (;;) {
      ready_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;
      taken.swap(queue_);
      lock.unlock();
      for (const auto& squib : taken) hearing.hear(squib.get(), tally_);
      taken.clear();
      lock.lock();
    }
  }

  Tally& tally_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Ref<MRKCSquib>> queue_;
  bool stopping_ = false;
  std::thread thread_;
};

// Squibs published between two waits for their delivery.
constexpr int kBatch = 1000;

void BM_PublishToFollowers(benchmark::State& state) {
  const int followers = static_cast<int>(state.range(0));
  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Tally tally;
  std::vector<Ref<Follower>> group;
  for (int i = 0; i < followers; ++i) {
    Ref<Follower> follower = makeRef<Follower>(tally);
    (void)substrate->attach(follower.get(), false);
    (void)substrate->disclose("bench", follower->guid());
    group.push_back(follower);
  }
  Ref<MRKCStatement> statement = MRKFMakeStatementWithTerm("bench", MRKCNumber::numberWithUint(1).get(), 1.0);
  uint64_t published = 0;
  CpuTimes times;
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i)
      (void)substrate->publish(MRKCSquib::squibWithLabel("bench", statement.get(), 60.0f).get(), {});
    published += kBatch;
    tally.waitFor(published * static_cast<uint64_t>(followers));
  }
  times.report(state);
  std::vector<const Hearing*> hearings;
  for (auto& follower : group) {
    substrate->detach(follower.get(), false);
    hearings.push_back(&follower->hearing);
  }
  reportLatencies(state, hearings, published, followers);
}
BENCHMARK(BM_PublishToFollowers)->Arg(1)->Arg(10)->Arg(100)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_PlainQueueToFollowers(benchmark::State& state) {
  const int followers = static_cast<int>(state.range(0));
  Tally tally;
  std::vector<std::unique_ptr<QueueFollower>> group;
  for (int i = 0; i < followers; ++i) group.push_back(std::make_unique<QueueFollower>(tally));
  Ref<MRKCStatement> statement = MRKFMakeStatementWithTerm("bench", MRKCNumber::numberWithUint(1).get(), 1.0);
  uint64_t published = 0;
  CpuTimes times;
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) {
      Ref<MRKCSquib> squib = MRKCSquib::squibWithLabel("bench", statement.get(), 60.0f);
      for (auto& follower : group) follower->push(squib);
    }
    published += kBatch;
    tally.waitFor(published * static_cast<uint64_t>(followers));
  }
  times.report(state);
  std::vector<const Hearing*> hearings;
  for (auto& follower : group) hearings.push_back(&follower->hearing);
  reportLatencies(state, hearings, published, followers);
}
BENCHMARK(BM_PlainQueueToFollowers)->Arg(1)->Arg(10)->Arg(100)->UseRealTime()->Unit(benchmark::kMillisecond);

// One squib at a time: the latency of a quiet substrate.
void BM_PublishOneAtATime(benchmark::State& state) {
  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Tally tally;
  Ref<Follower> follower = makeRef<Follower>(tally);
  (void)substrate->attach(follower.get(), false);
  (void)substrate->disclose("bench", follower->guid());
  Ref<MRKCStatement> statement = MRKFMakeStatementWithTerm("bench", MRKCNumber::numberWithUint(1).get(), 1.0);
  uint64_t published = 0;
  for (auto _ : state) {
    (void)substrate->publish(MRKCSquib::squibWithLabel("bench", statement.get(), 60.0f).get(), {});
    tally.waitFor(++published);
  }
  substrate->detach(follower.get(), false);
  reportLatencies(state, {&follower->hearing}, published, 1);
}
BENCHMARK(BM_PublishOneAtATime)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Detaching n processors that share a label and follow one, last first, as a wipe does: the time
// per processor should not grow with n.
void BM_DetachMany(benchmark::State& state) {
  const auto count = static_cast<size_t>(state.range(0));
  Tally tally;
  for (auto _ : state) {
    state.PauseTiming();
    Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
    std::vector<Ref<Follower>> followers;
    for (size_t i = 0; i < count; ++i) {
      followers.push_back(makeRef<Follower>(tally));
      (void)substrate->attach(followers.back().get(), true);
      (void)substrate->disclose("bench", followers.back()->guid());
    }
    state.ResumeTiming();
    for (auto follower = followers.rbegin(); follower != followers.rend(); ++follower)
      (void)substrate->detach(follower->get(), true);
    state.PauseTiming();
    substrate = nullptr;
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
}
BENCHMARK(BM_DetachMany)->Arg(1000)->Arg(4000)->Arg(16000)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

// Message dispatch across threads: posting a batch to a handler and waiting until every message
// was handled, and a synchronous send to a running conductor (one round trip per message).
#include "framework/core/LLKBConductor.h"
#include "framework/core/LLKBHandler.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <mutex>

namespace {

class Counter : public LLKBHandler {
public:
  void expect(int64_t count) {
    std::lock_guard lock(mutex_);
    handled_ = 0;
    expected_ = count;
  }
  void wait() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return handled_ >= expected_; });
  }

protected:
  bool onMessaged(const Ref<LLKCMessage>&) override {
    std::lock_guard lock(mutex_);
    if (++handled_ >= expected_) done_.notify_all();
    return true;
  }

private:
  std::mutex mutex_;
  std::condition_variable done_;
  int64_t handled_ = 0;
  int64_t expected_ = 0;
};

void BM_HandlerPostBatch(benchmark::State& state) {
  Ref<Counter> handler = makeRef<Counter>();
  handler->start();
  Ref<LLKCMessage> message = LLKCMessage::messageWithCode(0x10000B000ull);
  for (auto _ : state) {
    handler->expect(state.range(0));
    for (int64_t i = 0; i < state.range(0); ++i) handler->post(message);
    handler->wait();
  }
  handler->stopAndJoin();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HandlerPostBatch)->Arg(1)->Arg(64)->Arg(1024);

class Echo : public LLKBConductor {
protected:
  bool onMessaged(const Ref<LLKCMessage>&) override { return true; }
};

void BM_ConductorSend(benchmark::State& state) {
  Ref<Echo> conductor = makeRef<Echo>();
  conductor->setBeat(0);
  conductor->start();
  Ref<LLKCMessage> message = LLKCMessage::messageWithCode(0xF0000001ull);
  for (auto _ : state) benchmark::DoNotOptimize(conductor->send(message));
  conductor->stopAndJoin();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConductorSend);

void BM_MessageWithDetailsCopy(benchmark::State& state) {
  Ref<LLKCMessage> message = LLKCMessage::messageWithCode(0x30000C000ull);
  message->details().storeUint(3, "selected");
  message->details().storeReal(0.5, "value");
  for (auto _ : state) benchmark::DoNotOptimize(message->copy());
}
BENCHMARK(BM_MessageWithDetailsCopy);

}  // namespace

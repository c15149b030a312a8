// One tick's up-tree competition over N chunks, in each mode, with 7 winners: the time of the
// competition and the winners' list, and the allocations it makes (counted by a replaced
// operator new) per tick. Side by side, the reference: a simple tournament over a flat array of
// plain numbers, with the same pairings, draws and cut.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <vector>

#include "framework/core/LLKFRandom.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCSymbol.h"
#include "modules/ctm/stage/CTMFStageCompetition.h"
#include "modules/ctm/stage/CTMFStageIntake.h"

namespace {
std::atomic<uint64_t> allocations{0};

void* countedAllocation(std::size_t size) noexcept {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size ? size : 1);
}
}  // namespace

// The replacements pair malloc with free on purpose; the compiler cannot see through that.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  if (void* memory = countedAllocation(size)) return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* memory = countedAllocation(size)) return memory;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return countedAllocation(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return countedAllocation(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
#pragma GCC diagnostic pop

namespace {

// The carriers of n chunks with random weights, intensities and moods, in the order the mode
// keeps them (so that intake appends): by sender for the deterministic mode, by descending
// weight for the weight-centric one.
std::vector<Ref<MRKCStatement>> carriers(size_t n, uint32_t mode) {
  LLKFRandomSeed(n * 10 + mode);
  std::vector<double> weights(n);
  for (double& weight : weights) weight = LLKFRandomDraw() * 2.0 - 1.0;
  if (mode == kCTMModeWeightCentric) std::sort(weights.rbegin(), weights.rend());
  std::vector<Ref<MRKCStatement>> made;
  made.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    char sender[32];
    std::snprintf(sender, sizeof sender, "s%09zu", i);
    Ref<MRKCList> chunk = MRKCList::listWithCapacity(8);
    chunk->append(MRKCSymbol::symbolWithValue(sender).get());
    chunk->append(MRKCNumber::numberWithUint(1).get());
    chunk->append(MRKCSymbol::symbolWithValue(std::string("u") + sender).get());
    chunk->append(MRKCSymbol::symbolWithValue("tweet").get());
    chunk->append(MRKCSymbol::symbolWithValue("gist").get());
    chunk->append(MRKCNumber::numberWithReal(weights[i]).get());
    chunk->append(MRKCNumber::numberWithReal(std::abs(weights[i])).get());
    chunk->append(MRKCNumber::numberWithReal(LLKFRandomDraw() - 0.5).get());
    made.push_back(MRKCStatement::statementWithLabel("ctm.pass", MRKCList::listWithTerms({chunk.get()}).get(), 1.0));
  }
  return made;
}

void BM_Competition(benchmark::State& state) {
  const size_t n = static_cast<size_t>(state.range(0));
  const uint32_t mode = static_cast<uint32_t>(state.range(1));
  std::vector<Ref<MRKCStatement>> posted = carriers(n, mode);
  CTMTStage record;
  if (!CTMFStageRecordInit(&record, "ctm")) {
    state.SkipWithError("no record");
    return;
  }
  record.mode = mode;
  record.size = 7;
  record.func = kCTMFuncIntensityMood;
  LLKFRandomSeed(1);
  uint64_t counted = 0;
  for (auto _ : state) {
    for (const auto& carrier : posted) CTMFStageIntakeStatement(&record, carrier.get());
    uint64_t before = allocations.load(std::memory_order_relaxed);
    auto start = std::chrono::steady_clock::now();
    Ref<MRKCList> submitted;
    bool competed = CTMFStageProcessUpTree(&record, &submitted);
    Ref<MRKCList> winners = CTMFStageListFromList(&record);
    auto stop = std::chrono::steady_clock::now();
    counted += allocations.load(std::memory_order_relaxed) - before;
    if (!competed || !winners) state.SkipWithError("competition failed");
    benchmark::DoNotOptimize(winners.get());
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
  }
  state.counters["allocs/tick"] =
      benchmark::Counter(static_cast<double>(counted) / static_cast<double>(state.iterations()));
  state.counters["allocs/chunk"] =
      benchmark::Counter(static_cast<double>(counted) / static_cast<double>(state.iterations() * n));
}

// The reference's competitor: the numbers a pairing reads, nothing else.
struct FlatChunk {
  double weight, intensity, mood;
  uint32_t count;
};

std::vector<FlatChunk> flatChunks(size_t n, uint32_t mode) {
  LLKFRandomSeed(n * 10 + mode);
  std::vector<FlatChunk> chunks(n);
  for (FlatChunk& chunk : chunks) chunk.weight = LLKFRandomDraw() * 2.0 - 1.0;
  if (mode == kCTMModeWeightCentric)
    std::sort(chunks.begin(), chunks.end(), [](const FlatChunk& a, const FlatChunk& b) { return a.weight > b.weight; });
  for (FlatChunk& chunk : chunks) chunk = {chunk.weight, std::abs(chunk.weight), LLKFRandomDraw() - 0.5, 1};
  return chunks;
}

// Pairs neighbours in place until no more than size are left; the winners by mean intensity.
void flatTournament(std::vector<FlatChunk>& chunks, uint32_t mode, size_t size) {
  size_t count = chunks.size();
  if (mode != kCTMModeWeightCentric) {
    while (count > size) {
      size_t left = 0;
      for (size_t i = 0; i + 1 < count; i += 2) {
        const FlatChunk a = chunks[i], b = chunks[i + 1];
        const double va = a.intensity + a.mood, vb = b.intensity + b.mood;
        bool first = mode == kCTMModeDeterministic
                         ? va > vb
                         : std::max(va, 0.0) / (std::max(va, 0.0) + std::max(vb, 0.0) + 1e-300) > LLKFRandomDraw();
        FlatChunk winner = first ? a : b;
        winner = {winner.weight, a.intensity + b.intensity, a.mood + b.mood, a.count + b.count};
        chunks[left++] = winner;
      }
      if (count % 2 == 1) chunks[left++] = chunks[count - 1];
      count = left;
    }
    std::stable_sort(
        chunks.begin(), chunks.begin() + static_cast<long>(count),
        [](const FlatChunk& a, const FlatChunk& b) { return b.intensity / b.count < a.intensity / a.count; });
  }
  chunks.resize(std::min(count, size));
}

void BM_FlatTournament(benchmark::State& state) {
  const size_t n = static_cast<size_t>(state.range(0));
  const uint32_t mode = static_cast<uint32_t>(state.range(1));
  const std::vector<FlatChunk> posted = flatChunks(n, mode);
  std::vector<FlatChunk> chunks;
  chunks.reserve(n);
  LLKFRandomSeed(1);
  uint64_t counted = 0;
  for (auto _ : state) {
    uint64_t before = allocations.load(std::memory_order_relaxed);
    auto start = std::chrono::steady_clock::now();
    chunks.assign(posted.begin(), posted.end());  // reading the tick's chunks belongs to the tick
    flatTournament(chunks, mode, 7);
    auto stop = std::chrono::steady_clock::now();
    counted += allocations.load(std::memory_order_relaxed) - before;
    benchmark::DoNotOptimize(chunks.data());
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
  }
  state.counters["allocs/chunk"] =
      benchmark::Counter(static_cast<double>(counted) / static_cast<double>(state.iterations() * n));
}

}  // namespace

BENCHMARK(BM_FlatTournament)
    ->ArgNames({"N", "mode"})
    ->ArgsProduct({{10, 1000, 10000, 100000}, {kCTMModeDeterministic, kCTMModeProbabilistic, kCTMModeWeightCentric}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_Competition)
    ->ArgNames({"N", "mode"})
    ->ArgsProduct({{10, 1000, 10000, 100000}, {kCTMModeDeterministic, kCTMModeProbabilistic, kCTMModeWeightCentric}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

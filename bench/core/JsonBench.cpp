// Reading a JSON object of many members: our linear parse (into an ordered document, and on
// into a frame) against nlohmann's ordered parse, which looks every key up in a list (n²).
#include "framework/core/JSKCReader.h"
#include "framework/core/JSKFParse.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string objectOf(int64_t members) {
  std::string text = "{";
  for (int64_t i = 0; i < members; ++i) text += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":" + std::to_string(i);
  return text + "}";
}

void BM_ParseOrdered(benchmark::State& state) {
  const std::string text = objectOf(state.range(0));
  for (auto _ : state) {
    nlohmann::ordered_json json;
    benchmark::DoNotOptimize(JSKFParseOrdered(text, &json, JSKDuplicateKeys::refuse, nullptr));
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseOrdered)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_ReaderFrame(benchmark::State& state) {
  const std::string text = objectOf(state.range(0));
  Ref<JSKCReader> reader = JSKCReader::reader();
  for (auto _ : state) benchmark::DoNotOptimize(reader->readFromString(text));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReaderFrame)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();

// The reference: nlohmann's own ordered parse (kept to sizes that end in seconds).
void BM_NlohmannOrdered(benchmark::State& state) {
  const std::string text = objectOf(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(nlohmann::ordered_json::parse(text));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_NlohmannOrdered)
    ->RangeMultiplier(10)
    ->Range(1000, 10000)
    ->Arg(30000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace

// Replays a fuzz target without libFuzzer: every file of the seed corpus, each seed cut short
// at several points, each seed with bytes flipped, and a fixed set of random buffers. The run
// is deterministic, so a crash found here reproduces on every build.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <algorithm>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

void run(const Bytes& input) { LLVMFuzzerTestOneInput(input.data(), input.size()); }

std::vector<Bytes> readCorpus(const char* folder) {
  std::vector<Bytes> seeds;
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return seeds;
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    if (entry.is_regular_file()) paths.push_back(entry.path());
  std::sort(paths.begin(), paths.end());
  for (const auto& path : paths) {
    std::ifstream in(path, std::ios::binary);
    seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return seeds;
}

}  // namespace

int main(int argc, char** argv) {
  std::mt19937 random(20261210);
  std::vector<Bytes> seeds = argc > 1 ? readCorpus(argv[1]) : std::vector<Bytes>{};
  size_t runs = 0;
  for (const Bytes& seed : seeds) {
    run(seed);
    ++runs;
    for (size_t cut : {size_t{0}, size_t{1}, seed.size() / 4, seed.size() / 2, seed.size() - (seed.empty() ? 0 : 1)}) {
      run(Bytes(seed.begin(), seed.begin() + std::min(cut, seed.size())));
      ++runs;
    }
    for (int round = 0; round < 64 && !seed.empty(); ++round) {
      Bytes mutated = seed;
      for (int flips = 1 + round % 4; flips > 0; --flips)
        mutated[random() % mutated.size()] ^= static_cast<uint8_t>(1u << (random() % 8));
      run(mutated);
      ++runs;
    }
  }
  for (int round = 0; round < 256; ++round) {
    Bytes noise(random() % 512);
    for (auto& byte : noise) byte = static_cast<uint8_t>(random());
    run(noise);
    ++runs;
  }
  std::printf("replayed %zu inputs from %zu seeds\n", runs, seeds.size());
  return 0;
}

#include "framework/core/LLKFRandom.h"

#include <mutex>
#include <random>
#include <utility>

namespace {

std::mutex sharedMutex;

std::mt19937_64& shared() {
  static std::mt19937_64 generator{std::random_device{}()};
  return generator;
}

uint64_t draw() {
  std::lock_guard lock(sharedMutex);
  return shared()();
}

}  // namespace

extern "C" void LLKFRandomSeed(uint64_t seed) {
  std::lock_guard lock(sharedMutex);
  shared().seed(seed);
}

extern "C" double LLKFRandomDraw(void) {
  // The top 53 bits make every double in [0, 1) a multiple of 2^-53.
  return static_cast<double>(draw() >> 11) * 0x1.0p-53;
}

extern "C" uint32_t LLKFRandomDrawUint(void) { return static_cast<uint32_t>(draw() >> 32); }

extern "C" uint32_t LLKFRandomDrawWithRangeUint(uint32_t low, uint32_t high) {
  if (low > high) std::swap(low, high);
  uint64_t span = static_cast<uint64_t>(high) - low + 1;
  // Rejection keeps the draw uniform when span does not divide 2^64.
  uint64_t limit = UINT64_MAX - (UINT64_MAX % span);
  uint64_t value;
  do value = draw();
  while (value >= limit);
  return low + static_cast<uint32_t>(value % span);
}

extern "C" uint64_t LLKFRandomFreshBits(void) {
  thread_local std::mt19937_64 generator{[] {
    std::random_device device;
    return (static_cast<uint64_t>(device()) << 32) ^ device();
  }()};
  return generator();
}

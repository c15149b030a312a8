#pragma once
// Random numbers. One generator serves the process (under a lock); tests seed it to repeat a
// run. Identities (guids, unique strings) come from a separate source that seeding never touches.
#include <cstdint>

extern "C" {
// Restarts the shared generator from a seed.
void LLKFRandomSeed(uint64_t seed);
// Uniform in [0, 1).
double LLKFRandomDraw(void);
// Uniform over all 32-bit values.
uint32_t LLKFRandomDrawUint(void);
// Uniform in [low, high], both included (the bounds may come in either order).
uint32_t LLKFRandomDrawWithRangeUint(uint32_t low, uint32_t high);
// 64 fresh bits for identities; independent of the seed.
uint64_t LLKFRandomFreshBits(void);
}

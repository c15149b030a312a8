#include "framework/core/LLKFThreadContract.h"

#include <cstdio>
#include <cstdlib>

void LLKFThreadContractBroken(const char* contract, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: called off its thread: %s\n", file, line, contract);
  std::abort();
}

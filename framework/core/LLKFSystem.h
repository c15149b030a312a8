#pragma once
// Facts about the running process.
#include <cstdint>

extern "C" {
// A number that names the calling thread, distinct among the process's live threads.
uint64_t LLKFGetThreadUid(void);
// The number of processors the process may run on; at least 1.
uint32_t LLKFQueryCPUCount(void);
}

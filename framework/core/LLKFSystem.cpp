#include "framework/core/LLKFSystem.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <thread>

extern "C" uint64_t LLKFGetThreadUid(void) { return static_cast<uint64_t>(syscall(SYS_gettid)); }

extern "C" uint32_t LLKFQueryCPUCount(void) {
  unsigned count = std::thread::hardware_concurrency();
  return count ? count : 1;
}

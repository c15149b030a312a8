#pragma once
// Runs submitted operations on a pool of threads, in the order they were submitted.
// The scheduler's threads end when it is stopped (stopAndJoin, or its release): operations
// that run are finished, those still waiting are dropped.
#include "framework/core/LLKBOperation.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

struct LLKTSchedulerSetup {
  uint32_t flags = 0;     // reserved, 0
  uint32_t threads = 1;   // threads in the pool (0 counts as 1)
  uint32_t capacity = 0;  // operations that may wait at once; 0 for no limit
};

class LLKCScheduler : public LLKBObject {
public:
  // Null when the threads cannot be started.
  [[nodiscard]] static Ref<LLKCScheduler> schedulerWithSetup(const LLKTSchedulerSetup& setup);

  // False for null, once stopped, or when capacity operations already wait.
  bool submit(Ref<LLKBOperation> operation);
  // Operations waiting to start.
  size_t pending() const;
  // Ends the pool: waits for running operations, drops waiting ones. Called from one of the
  // pool's own operations it waits for the others and leaves its own thread to end by itself.
  void stopAndJoin();

  ~LLKCScheduler() override;

private:
  struct Pool;
  LLKCScheduler() = default;

  std::shared_ptr<Pool> pool_;
  std::vector<std::thread> threads_;
};

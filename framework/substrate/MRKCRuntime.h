#pragma once
// The runtime timer: selectors run every given period under a key. A key that is the guid of an
// attached processor runs its selector on that processor's strand, so timer and hooks never
// overlap; any other key gets a strand of its own. A firing is skipped while the previous one
// has not run yet. schedule and unschedule are safe from anywhere, the selector itself included:
// once unschedule returns, the selector does not start again.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "framework/substrate/MRKCOffloader.h"
#include "framework/substrate/MRKCStrand.h"

class MRKCRuntime {
public:
  // Finds the strand that runs a key's selector (a processor's), or null for a strand of its own.
  using StrandLookup = std::function<Ref<MRKCStrand>(const std::string& key)>;

  MRKCRuntime(std::shared_ptr<MRKCWorkerPool> pool, StrandLookup lookup);
  ~MRKCRuntime();

  // Runs selector every `every` milliseconds (the first time one period from now), replacing
  // what the key ran before. Lower priorities run first among selectors due together. False for
  // an empty key, no selector or a period of 0.
  bool schedule(const std::string& key, std::function<void()> selector, int priority, uint32_t every);
  // False when nothing ran under the key.
  bool unschedule(const std::string& key);
  bool isScheduled(const std::string& key);

  // The offloader: runs background actions one at a time.
  MRKCOffloader* offloader() { return offloader_.get(); }

private:
  using Clock = std::chrono::steady_clock;
  struct Entry {
    std::function<void()> selector;
    int priority = 0;
    Clock::duration period{};
    Clock::time_point due{};
    uint64_t generation = 0;
    bool pending = false;
    Ref<MRKCStrand> strand;
  };

  void loop();
  void fire(const std::string& key, Entry& entry);

  std::shared_ptr<MRKCWorkerPool> pool_;
  StrandLookup lookup_;
  Ref<MRKCOffloader> offloader_;
  // The entries and their lock, shared with the firings queued on strands: a firing that runs
  // after the runtime is gone finds its entry removed and does nothing.
  struct Timers {
    std::mutex mutex;
    std::map<std::string, Entry> entries;
  };

  std::shared_ptr<Timers> timers_ = std::make_shared<Timers>();
  std::condition_variable wake_;
  uint64_t generations_ = 0;
  bool stopping_ = false;
  std::thread thread_;
};

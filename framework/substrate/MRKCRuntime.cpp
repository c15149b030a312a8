#include "framework/substrate/MRKCRuntime.h"

#include <algorithm>
#include <vector>

MRKCRuntime::MRKCRuntime(std::shared_ptr<MRKCWorkerPool> pool, StrandLookup lookup)
    : pool_(std::move(pool)),
      lookup_(std::move(lookup)),
      offloader_(MRKCOffloader::offloader()),
      thread_([this] { loop(); }) {}

MRKCRuntime::~MRKCRuntime() {
  {
    std::lock_guard lock(timers_->mutex);
    stopping_ = true;
    timers_->entries.clear();
  }
  wake_.notify_all();
  thread_.join();
  offloader_->stop();
}

bool MRKCRuntime::schedule(const std::string& key, std::function<void()> selector, int priority, uint32_t every) {
  if (key.empty() || !selector || every == 0) return false;
  Ref<MRKCStrand> strand = lookup_ ? lookup_(key) : nullptr;
  if (!strand) {
    strand = MRKCStrand::strand();
    strand->bind(pool_);
  }
  {
    std::lock_guard lock(timers_->mutex);
    if (stopping_) return false;
    Entry& entry = timers_->entries[key];
    entry.selector = std::move(selector);
    entry.priority = priority;
    entry.period = std::chrono::milliseconds(every);
    entry.due = Clock::now() + entry.period;
    entry.generation = ++generations_;
    entry.pending = false;
    entry.strand = std::move(strand);
  }
  wake_.notify_all();
  return true;
}

bool MRKCRuntime::unschedule(const std::string& key) {
  std::lock_guard lock(timers_->mutex);
  return timers_->entries.erase(key) > 0;
}

bool MRKCRuntime::isScheduled(const std::string& key) {
  std::lock_guard lock(timers_->mutex);
  return timers_->entries.count(key) > 0;
}

void MRKCRuntime::fire(const std::string& key, Entry& entry) {
  entry.pending = true;
  uint64_t generation = entry.generation;
  entry.strand->post([timers = timers_, key, generation] {
    std::function<void()> selector;
    {
      std::lock_guard lock(timers->mutex);
      auto found = timers->entries.find(key);
      if (found == timers->entries.end() || found->second.generation != generation) return;
      found->second.pending = false;
      selector = found->second.selector;
    }
    selector();
  });
}

void MRKCRuntime::loop() {
  std::unique_lock lock(timers_->mutex);
  while (!stopping_) {
    Clock::time_point now = Clock::now();
    Clock::time_point next = Clock::time_point::max();
    std::vector<std::pair<int, std::string>> due;
    for (auto& [key, entry] : timers_->entries) {
      if (entry.due <= now) due.emplace_back(entry.priority, key);
      else next = std::min(next, entry.due);
    }
    std::stable_sort(due.begin(), due.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [priority, key] : due) {
      Entry& entry = timers_->entries[key];
      if (!entry.pending) fire(key, entry);
      // Catch up without bursts: the next firing is one period after now when we fell behind.
      entry.due += entry.period;
      if (entry.due <= now) entry.due = now + entry.period;
      next = std::min(next, entry.due);
    }
    if (next == Clock::time_point::max()) wake_.wait(lock);
    else wake_.wait_until(lock, next);
  }
}

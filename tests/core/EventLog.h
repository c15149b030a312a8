#pragma once
// What threads under test report, in order, and a way to wait for it with a generous timeout.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class EventLog {
public:
  void add(std::string event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
    changed_.notify_all();
  }
  // True once the events satisfy the test; false after ten seconds.
  bool waitUntil(const std::function<bool(const std::vector<std::string>&)>& test) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return test(events_); });
  }
  bool waitForCount(const std::string& event, size_t count) {
    return waitUntil([&](const std::vector<std::string>& events) { return countIn(events, event) >= count; });
  }
  std::vector<std::string> events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  size_t count(const std::string& event) const {
    std::lock_guard lock(mutex_);
    return countIn(events_, event);
  }

private:
  static size_t countIn(const std::vector<std::string>& events, const std::string& event) {
    size_t n = 0;
    for (const auto& e : events) n += e == event;
    return n;
  }
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> events_;
};

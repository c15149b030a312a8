#pragma once
// A processor for tests that records what reaches it, and waits for it with a generous timeout.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/substrate/MRKBProcessor.h"
#include "framework/substrate/MRKCFlash.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCScrap.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"

class Recorder : public MRKBProcessor {
public:
  explicit Recorder(std::string label, Ref<MRKCFrame> properties = nullptr)
      : MRKBProcessor({}, std::move(label), {}, std::move(properties)) {}

  // Runs in the hooks; lets a test act from inside one.
  std::function<void(Recorder&, const std::string& event)> onEvent;

  void onAttached() override { record("attached"); }
  void onDetached() override { record("detached"); }
  void onPulsated() override { record("pulse"); }
  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override {
    record("squib " + squib->label() + " " + MRKFTermText(asStatement(squib->statements()->head())->terms()));
  }
  void onReceivedQuery(MRKCQuery* query, const std::string& source) override {
    lastQuery = Ref<MRKCQuery>(query);
    record("query " + query->predicate()->text());
    if (answerQueries) MRKBProcessor::onReceivedQuery(query, source);
  }
  void onReceivedReply(MRKCReply* reply, const std::string& source) override {
    record("reply " + reply->statement()->text());
  }
  void onReceivedFlash(MRKCFlash* flash, const std::string& source) override {
    record("flash " + flash->functor()->text());
  }
  void onReceivedScrap(MRKCScrap* scrap, const std::string& source) override {
    record("scrap " + std::to_string(scrap->awaiting().size()));
  }

  void record(const std::string& event) {
    int inside = ++inside_;
    if (inside > 1) overlapped = true;
    if (std::this_thread::get_id() == creator_) onCreatorThread = true;
    if (onEvent) onEvent(*this, event);
    {
      std::lock_guard lock(mutex_);
      events_.push_back(event);
    }
    --inside_;
    changed_.notify_all();
  }

  // True once an event satisfying the test has arrived (within ten seconds).
  bool waitFor(const std::function<bool(const std::vector<std::string>&)>& test) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return test(events_); });
  }
  bool waitForEvent(const std::string& event) {
    return waitFor([&](const auto& events) { return std::find(events.begin(), events.end(), event) != events.end(); });
  }
  bool waitForCount(const std::string& prefix, size_t count) {
    return waitFor([&](const auto& events) {
      return static_cast<size_t>(std::count_if(events.begin(), events.end(),
                                               [&](const std::string& e) { return e.rfind(prefix, 0) == 0; })) >= count;
    });
  }
  std::vector<std::string> events() {
    std::lock_guard lock(mutex_);
    return events_;
  }
  size_t countOf(const std::string& prefix) {
    auto all = events();
    return static_cast<size_t>(
        std::count_if(all.begin(), all.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
  }

  std::atomic<bool> overlapped{false};
  std::atomic<bool> onCreatorThread{false};
  bool answerQueries = true;
  Ref<MRKCQuery> lastQuery;

private:
  std::thread::id creator_ = std::this_thread::get_id();
  std::atomic<int> inside_{0};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> events_;
};

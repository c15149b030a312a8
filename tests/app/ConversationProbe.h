#pragma once
// A probe processor for the conversation tests: it sends ux queries, as a solution would, and
// keeps every reply and every squib on "ux", waiting for them with a generous timeout.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "framework/substrate/MRKBProcessor.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"

class ConversationProbe : public MRKBProcessor {
public:
  static Ref<ConversationProbe> make() { return makeRef<ConversationProbe>(); }

  void onAttached() override { (void)substrate()->disclose("ux", guid()); }
  void onReceivedReply(MRKCReply* reply, const std::string&) override {
    std::lock_guard lock(mutex_);
    replies_.push_back(Ref<MRKCReply>(reply));
    changed_.notify_all();
  }
  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override {
    if (source == guid()) return;
    std::lock_guard lock(mutex_);
    for (const Ref<MRKBTerm>& statement : squib->statements()->terms()) squibs_.push_back(statement->text());
    changed_.notify_all();
  }

  // Sends the predicate read from its text form (e.g. ?ux(speak({}, "hi"), q1)); false when it
  // cannot be read or sent.
  bool ask(const std::string& predicate) {
    Ref<MRKBTerm> term = MRKCReader::reader()->readTermFromString(predicate);
    MRKCPredicate* read = term ? term->asPredicate() : nullptr;
    Ref<MRKCQuery> query = read ? MRKCQuery::queryWithPredicate(read, nullptr, 30.0f) : nullptr;
    return query && MRKCSubstrate::shared()->inquire(query.get(), guid());
  }
  // Waits up to the timeout for the next reply or squib.
  void waitForNews(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    size_t seen = replies_.size() + squibs_.size();
    changed_.wait_for(lock, timeout, [&] { return replies_.size() + squibs_.size() != seen; });
  }
  size_t replyCount() {
    std::lock_guard lock(mutex_);
    return replies_.size();
  }
  Ref<MRKCReply> reply(size_t index) {
    std::lock_guard lock(mutex_);
    return index < replies_.size() ? replies_[index] : nullptr;
  }
  std::vector<std::string> squibs() {
    std::lock_guard lock(mutex_);
    return squibs_;
  }

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  ConversationProbe() : MRKBProcessor("", "probe", "probe", nullptr) {}

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Ref<MRKCReply>> replies_;
  std::vector<std::string> squibs_;
};

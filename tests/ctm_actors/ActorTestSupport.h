#pragma once
// What the actor tests share: terms from their text form, a tap processor that records what
// reaches it, and running code on a processor's own strand (where its hooks run).
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "framework/substrate/MRKBProcessor.h"
#include "framework/substrate/MRKCFlash.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"

inline Ref<MRKBTerm> term(const std::string& text) { return MRKCReader::reader()->readTermFromString(text); }
inline Ref<MRKCList> list(const std::string& text) { return Ref<MRKCList>(asList(term(text).get())); }
inline Ref<MRKCFrame> frame(const std::string& text) { return Ref<MRKCFrame>(asFrame(term(text).get())); }

// Runs the task on the processor's strand, as one of its hooks, and waits for it.
inline void onStrand(MRKBProcessor* processor, std::function<void()> task) {
  std::promise<void> done;
  processor->schedule([&] {
    task();
    done.set_value();
  });
  done.get_future().wait();
}

// Records the statements of the squibs on the labels it follows, the replies to its queries
// and the flashes it gets, as "<kind> <label> <text>" lines.
class Tap : public MRKBProcessor {
public:
  Tap(std::string label, std::vector<std::string> follow)
      : MRKBProcessor({}, std::move(label), {}, nullptr), follow_(std::move(follow)) {}

  void onAttached() override {
    for (const auto& label : follow_) EXPECT_TRUE(substrate()->disclose(label, guid()));
  }
  void onReceivedSquib(MRKCSquib* squib, const std::string&) override {
    for (const auto& member : squib->statements()->terms())
      if (MRKCStatement* statement = asStatement(member.get())) add("squib", statement, nullptr);
  }
  void onReceivedReply(MRKCReply* reply, const std::string&) override { add("reply", reply->statement(), nullptr); }
  void onReceivedFlash(MRKCFlash* flash, const std::string&) override { add("flash", nullptr, flash->functor()); }
  void onReceivedQuery(MRKCQuery*, const std::string&) override {}

  // Asks the processors labelled as the predicate (the replies come back here).
  void ask(const std::string& predicate, float ttl = 30.0f) {
    Ref<MRKCPredicate> asked(asPredicate(term(predicate).get()));
    substrate()->inquire(MRKCQuery::queryWithPredicate(asked.get(), nullptr, ttl).get(), guid());
  }

  // The statements recorded so far: {kind, statement or functor}.
  struct Entry {
    std::string kind;
    Ref<MRKCStatement> statement;
    Ref<MRKCFunc> functor;
  };
  std::vector<Entry> entries() {
    std::lock_guard lock(mutex_);
    return entries_;
  }
  // Waits (ten seconds at most) until the test holds for the entries; true when it does.
  bool waitFor(const std::function<bool(const std::vector<Entry>&)>& test) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return test(entries_); });
  }
  // The replies recorded so far.
  std::vector<Ref<MRKCStatement>> replies() {
    std::vector<Ref<MRKCStatement>> found;
    for (const auto& entry : entries())
      if (entry.kind == "reply") found.push_back(entry.statement);
    return found;
  }
  bool waitForReplies(size_t count) {
    return waitFor([&](const std::vector<Entry>& entries) {
      size_t replies = 0;
      for (const auto& entry : entries) replies += entry.kind == "reply";
      return replies >= count;
    });
  }

private:
  void add(const char* kind, MRKCStatement* statement, MRKCFunc* functor) {
    {
      std::lock_guard lock(mutex_);
      entries_.push_back({kind, Ref<MRKCStatement>(statement), Ref<MRKCFunc>(functor)});
    }
    changed_.notify_all();
  }

  std::vector<std::string> follow_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Entry> entries_;
};

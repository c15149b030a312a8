#pragma once
// The base of every processor the substrate hosts. The substrate calls a processor's hooks one
// at a time, in order, on its worker threads (never on the caller's thread); a processor may call
// its own methods from a hook. Hooks are not called before onAttached nor after onDetached.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>

#include "framework/core/LLKFThreadContract.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCStrand.h"

class MRKCSubstrate;
class MRKCSquib;
class MRKCQuery;
class MRKCReply;
class MRKCScrap;
class MRKCFlash;
class MRKCKnowledge;
class LLKBEncoder;
class LLKBDecoder;

// What a processor is made from: the arguments of its constructor, also what it encodes.
struct MRKTProcessorParts {
  std::string guid;
  std::string label;
  std::string alias;
  Ref<MRKCFrame> properties;
};

// A processor's message counts, filled by the substrate before onQueryingStatistics.
struct MRKTStatistics {
  uint32_t received = 0;   // messages delivered to the processor
  uint32_t published = 0;  // squibs, queries, replies and flashes it sent
  uint32_t dropped = 0;    // messages to it dropped because their time to live ran out
};

// A new random guid in the usual 8-4-4-4-12 hex form.
std::string MRKFMakeGuid();

class MRKBProcessor : public LLKBObject {
public:
  const std::string& guid() const { return guid_; }
  const std::string& label() const { return label_; }
  const std::string& alias() const { return alias_; }
  MRKCFrame* properties() const { return properties_.get(); }
  // The substrate it is attached to (the last one, after detaching), or null.
  MRKCSubstrate* substrate() const { return substrate_.load(); }
  bool isAttached() const { return attached_.load(); }

  // "verbose" property: print the problems the processor meets.
  bool verbose() const { return verbose_.load(); }
  // Chatty processors also publish what they say on their own label. Both flags start from the
  // "chatty" and "nosy" properties; a class may set them otherwise when it attaches.
  bool chatty() const { return chatty_.load(); }
  void setChatty(bool value) { chatty_.store(value); }
  bool nosy() const { return nosy_.load(); }
  void setNosy(bool value) { nosy_.store(value); }
  // Time to live of the messages it sends, in seconds: the "ttl" property, else the substrate's
  // default when attached.
  float ttl() const { return ttl_.load(); }
  void setTtl(float value) { ttl_.store(value); }

  // Runs the task among the processor's hooks, after those already queued (held until attached).
  void schedule(std::function<void()> task);
  // The processor's own lock, for state that other threads touch.
  std::recursive_mutex& monitor() const { return monitor_; }

  // False when the processor could not make what it needs to work (its record, say): the class
  // registry then answers null for it, so no load attaches it unusable.
  virtual bool isUsable() const { return true; }

  // Hooks.
  virtual void onAttached() {}
  virtual void onDetached() {}
  virtual void onPulsated() {}
  virtual void onReceivedSquib(MRKCSquib* squib, const std::string& source) {}
  // Answers "peek"(name, X) and "poke"(name, value) queries (see answerPropertyQuery).
  virtual void onReceivedQuery(MRKCQuery* query, const std::string& source);
  virtual void onReceivedReply(MRKCReply* reply, const std::string& source) {}
  virtual void onReceivedScrap(MRKCScrap* scrap, const std::string& source) {}
  virtual void onReceivedFlash(MRKCFlash* flash, const std::string& source) {}
  // Saves what the processor knows into the container; false when that failed.
  virtual bool onSavingKnowledge(MRKCKnowledge* container) { return true; }
  virtual void onQueryingStatistics(MRKTStatistics* statistics) {}
  // The value to answer a peek of a property with; stored is the property's value or null.
  virtual Ref<MRKBTerm> onPropertyPeeked(const std::string& name, MRKBTerm* stored) { return Ref<MRKBTerm>(stored); }
  // True to accept a poked value, which is then stored in the properties.
  virtual bool onPropertyPoked(const std::string& name, MRKBTerm* value) { return true; }

  // Writes guid, label, alias and properties (in the term text form) on the coder's stream;
  // subclasses that keep more write it after calling this. False when writing failed.
  virtual bool encodeWithCoder(LLKBEncoder* coder) const;
  // Reads what encodeWithCoder wrote; false, with parts untouched, for a short or bad stream.
  static bool decodeWithCoder(LLKBDecoder* coder, MRKTProcessorParts* parts);

  // Takes a "peek" or "poke" query (the predicate's first term is the func peek(name, X) or
  // poke(name, value)) and answers it with peek(name, value) or the poke func, value 1.0 when the
  // second term unifies with the value, else 0.0. A refused poke gets no answer. False when the
  // query is not one of these.
  bool answerPropertyQuery(MRKCQuery* query);
  // Answers the query as failed: the statement error(request, "reason"), value 0.0, labelled
  // with the processor's label (else "nil").
  void answerFailure(MRKCQuery* query, MRKBTerm* request, const std::string& reason);

protected:
  // An empty guid gets a fresh one; null properties an empty frame.
  MRKBProcessor(std::string guid, std::string label, std::string alias, Ref<MRKCFrame> properties);

private:
  friend class MRKCSubstrate;

  std::string guid_;
  std::string label_;
  std::string alias_;
  Ref<MRKCFrame> properties_;
  std::atomic<MRKCSubstrate*> substrate_{nullptr};
  std::atomic<bool> attached_{false};
  std::atomic<bool> verbose_{false};
  std::atomic<bool> chatty_{false};
  std::atomic<bool> nosy_{false};
  std::atomic<float> ttl_{0};
  std::atomic<bool> pulsePending_{false};
  // Between its onAttached and onDetached; read and written on its strand only.
  bool hooked() const {
    LLKF_EXPECT_THREAD(strand_->isCurrent(), "a processor's hooked state: own strand only");
    return hooked_;
  }
  void setHooked(bool hooked) {
    LLKF_EXPECT_THREAD(strand_->isCurrent(), "a processor's hooked state: own strand only");
    hooked_ = hooked;
  }
  bool hooked_ = false;
  std::atomic<uint32_t> received_{0};
  std::atomic<uint32_t> published_{0};
  std::atomic<uint32_t> dropped_{0};
  Ref<MRKCStrand> strand_ = MRKCStrand::strand();
  mutable std::recursive_mutex monitor_;
};

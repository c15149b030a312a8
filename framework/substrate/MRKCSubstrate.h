#pragma once
// The substrate: hosts processors, carries messages between them by label and guid, keeps the
// symbols, constants, primitives, globals and configs, runs the timer and pulses, loads plug-in
// modules and solutions. Every method may be called from any thread.
//
// Routing:
//  - squibs (publish) go to every processor that disclosed their label;
//  - queries (inquire) go to the processors labelled with the predicate's label and to those that
//    disclosed it, or to one target guid; the substrate remembers the asker by the context;
//  - replies (answers) go to the asker of the query whose context they carry;
//  - flashes go to the processors labelled with the targets (flash) or, published, to those that
//    disclosed the functor's label;
//  - pokes store a property in the processors labelled with the targets, when they accept it.
// Messages whose time to live ran out before delivery are dropped. When an asker detaches, or a
// query's time to live runs out, the processors that received it get a scrap with its context.
#include <condition_variable>
#include <map>
#include <memory>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "framework/core/LLKTOrderedSet.h"
#include "framework/substrate/MRKBProcessor.h"
#include "framework/substrate/MRKCContext.h"
#include "framework/substrate/MRKCKnowledge.h"
#include "framework/substrate/MRKCModule.h"
#include "framework/substrate/MRKCRuntime.h"
#include "framework/substrate/MRKCSymbols.h"
#include "framework/substrate/MRKCTable.h"

class MRKBMessage;
class MRKCSquib;
class MRKCQuery;
class MRKCReply;
class MRKCFlash;

struct MRKTConfigs {
  float ttl = 6.0f;       // default time to live of messages, in seconds
  uint32_t pulse = 1000;  // period of onPulsated, in milliseconds
};

// The substrate's constants; which is which is named below.
extern "C" const double MRKKGlobals[2];
// The index in MRKKGlobals of the tolerance for ties between reals.
constexpr size_t kMRKGlobalsTieTolerance = 1;

class MRKCSubstrate : public LLKBObject {
public:
  // The process's substrate, made on first use.
  static MRKCSubstrate* shared();
  // A substrate of its own (tests, benchmarks); stops and joins its threads when released.
  [[nodiscard]] static Ref<MRKCSubstrate> substrate();

  // Processors and observers. attach calls onAttached, detach onDetached, on the processor's
  // thread; with async false they wait for it (a processor's own hook runs it at once). False
  // when already attached (or not attached, for detach). Two processors that wait on each other
  // from their hooks (synchronous attach, detach, saveKnowledge or queryStatistics) deadlock:
  // from a hook, prefer async.
  [[nodiscard]] bool attach(MRKBProcessor* processor, bool async);
  bool detach(MRKBProcessor* processor, bool async);
  Ref<MRKBProcessor> processorForGuid(const std::string& guid) const;
  std::vector<Ref<MRKBProcessor>> processorsForLabel(const std::string& label) const;
  std::vector<Ref<MRKBProcessor>> processors() const;
  // The attached processors' labels, each with the strand its hooks run on: a way to tell later
  // which of them is running a hook then, that holds none of them.
  std::vector<std::pair<std::string, Ref<MRKCStrand>>> hookStrands() const;

  // Following labels: a follower gets the squibs, flashes and queries of the label. True when the
  // guid is attached (disclose) or was following the label (withhold).
  [[nodiscard]] bool disclose(const std::string& label, const std::string& guid);
  bool withhold(const std::string& label, const std::string& guid);

  // Sending; false for a malformed or expired message. source is the sender's guid (may be empty).
  [[nodiscard]] bool publish(MRKBMessage* message, const std::string& source);
  bool inquire(MRKCQuery* query, const std::string& source);
  bool inquire(MRKCQuery* query, const std::string& source, const std::string& target);
  // True when the reply went to a waiting asker.
  bool answers(MRKCReply* reply, const std::string& source);
  bool flash(MRKCFlash* flash, const std::vector<std::string>& targets, const std::string& source = {});
  bool poke(std::string_view key, const std::vector<std::string>& targets, MRKBTerm* value);

  MRKCSymbols* symbols() const { return symbols_.get(); }
  MRKCTable* primitives() const { return primitives_.get(); }
  // "offloader" (MRKCOffloader), "qav.scheduler" (MRKCOffloader), "zarn.version", "zarn.os",
  // "zarn.arch" (MRKCString).
  MRKCTable* globals() const { return globals_.get(); }
  MRKCTable* constants() const { return constants_.get(); }
  MRKTConfigs configs() const;
  void setConfigs(const MRKTConfigs& configs);
  MRKCRuntime* runtime() const { return runtime_.get(); }

  // Modules by name or path (MRKCModule::resolve); loading one already loaded counts a use,
  // unloading drops one and unloads at the last.
  bool loadModule(const std::string& name, std::string* error, const std::string& base = {});
  bool unloadModule(const std::string& name, const std::string& base = {});

  // Loads a solution file: modules, configs, constants, then its processors made and attached
  // in order. On any problem nothing of it stays loaded and error names the file and the entry.
  bool load(const std::string& path, std::string* error);
  // Detaches the processors of every loaded solution and unloads their modules (a module whose
  // processors are still held elsewhere stays loaded until a later wipe finds them released).
  // A load still underway is not wiped: its solution is added when it ends.
  void wipe();
  // The paths of the solutions being loaded now, in the order their loads began; and waiting
  // until there are none (ending waits for them no longer than its grace).
  std::vector<std::string> loadsUnderway() const;
  void waitForLoads() const;

  // Asks every attached processor to save its knowledge.
  Ref<MRKCKnowledge> saveKnowledge();
  // The processor's message counts, handed to its onQueryingStatistics first.
  bool queryStatistics(const std::string& guid, MRKTStatistics* statistics);

private:
  struct Pending;
  class Envelope;
  using Hook = void (*)(MRKBProcessor*, MRKBMessage*, const std::string&);
  struct LoadedModule {
    Ref<MRKCModule> module;
    int uses = 0;
  };
  struct LoadedSolution {
    std::string path;
    std::vector<std::string> modules;  // resolved paths, in load order
    std::vector<Ref<MRKBProcessor>> processors;
  };

  MRKCSubstrate();
  ~MRKCSubstrate() override;

  // Queues the message for every recipient's hook, all sharing it.
  void deliver(const std::vector<Ref<MRKBProcessor>>& recipients, Ref<MRKBMessage> message, const std::string& source,
               Hook hook);
  // The processors of the guids of both, each once, in order. Either is a range of guids.
  template <typename ByLabel, typename Following>
  std::vector<Ref<MRKBProcessor>> recipientsLocked(const ByLabel& byLabel, const Following& following) const;
  std::vector<Ref<MRKBProcessor>> attachedLocked() const;
  void countPublishedLocked(const std::string& source) const;
  void pulse();
  void scrapQueries(std::vector<std::pair<std::string, Ref<MRKCContext>>> scraps);
  void releaseModules(const std::vector<std::string>& paths);

  // The runtime's timers keyed by a processor's guid run on that processor's strand. An entry
  // outlives the detach until the processor's onDetached has run there, so a timer that a late
  // onAttached set still fires on the processor's own strand, in order with its detach, never
  // beside it on a strand of its own. Shared with the runtime's lookup and the detach tasks.
  struct TimerStrands {
    struct Entry {
      Ref<MRKCStrand> strand;
      uint64_t attachment = 0;  // which attach made it: a later one keeps its own entry
    };
    std::mutex mutex;
    std::unordered_map<std::string, Entry> byGuid;
    uint64_t attachments = 0;
  };
  std::shared_ptr<TimerStrands> timerStrands_ = std::make_shared<TimerStrands>();
  std::shared_ptr<MRKCWorkerPool> pool_;
  std::shared_ptr<MRKCRuntime> runtime_;
  Ref<MRKCSymbols> symbols_ = MRKCSymbols::symbols();
  Ref<MRKCTable> primitives_ = MRKCTable::table();
  Ref<MRKCTable> globals_ = MRKCTable::table();
  Ref<MRKCTable> constants_ = MRKCTable::table();

  // Sending only reads the routes, from every worker at once: senders share the lock, and only
  // attaching, following, asking and the pulse's expiry take it alone.
  mutable std::shared_mutex routes_;
  MRKTConfigs configs_;
  // Kept so that a detach touches only what belongs to its processor: with thousands attached,
  // ending (a detach each) stays linear in their number.
  LLKTOrderedSet<std::string> attached_;  // guids, in attach order
  std::unordered_map<std::string, Ref<MRKBProcessor>> byGuid_;
  std::unordered_map<std::string, LLKTOrderedSet<std::string>> byLabel_;       // own label -> guids
  std::unordered_map<std::string, LLKTOrderedSet<std::string>> following_;     // disclosed label -> guids
  std::unordered_map<std::string, std::unordered_set<std::string>> followed_;  // guid -> disclosed labels
  std::unordered_map<const MRKCContext*, std::unique_ptr<Pending>> pending_;
  std::unordered_map<std::string, std::unordered_set<const MRKCContext*>> asked_;  // asker guid -> its pending

  mutable std::mutex loading_;  // modules, solutions and the loads underway
  mutable std::condition_variable loadEnded_;
  std::vector<std::string> underway_;
  std::map<std::string, LoadedModule> modules_;
  std::vector<LoadedSolution> solutions_;
  std::vector<LoadedSolution> held_;  // wiped, but a processor of theirs was still held
};

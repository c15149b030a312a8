#include "framework/substrate/MRKCSubstrate.h"

#include <sys/utsname.h>

#include <algorithm>
#include <cmath>
#include <thread>
#include <unordered_set>

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCFlash.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCScrap.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKFTerms.h"

extern "C" const double MRKKGlobals[2] = {1.0e-9, 1.0e-6};

namespace {

const char* const kPulseKey = "zarn.pulse";

void squibHook(MRKBProcessor* processor, MRKBMessage* message, const std::string& source) {
  processor->onReceivedSquib(static_cast<MRKCSquib*>(message), source);
}
void queryHook(MRKBProcessor* processor, MRKBMessage* message, const std::string& source) {
  processor->onReceivedQuery(static_cast<MRKCQuery*>(message), source);
}
void replyHook(MRKBProcessor* processor, MRKBMessage* message, const std::string& source) {
  processor->onReceivedReply(static_cast<MRKCReply*>(message), source);
}
void flashHook(MRKBProcessor* processor, MRKBMessage* message, const std::string& source) {
  processor->onReceivedFlash(static_cast<MRKCFlash*>(message), source);
}
void scrapHook(MRKBProcessor* processor, MRKBMessage* message, const std::string& source) {
  processor->onReceivedScrap(static_cast<MRKCScrap*>(message), source);
}

// Takes the value out of the map's set under key, and the set when that leaves it empty.
bool eraseFrom(std::unordered_map<std::string, LLKTOrderedSet<std::string>>& sets, const std::string& key,
               const std::string& value) {
  auto found = sets.find(key);
  if (found == sets.end() || !found->second.erase(value)) return false;
  if (found->second.empty()) sets.erase(found);
  return true;
}

std::string machine() {
  utsname name{};
  return uname(&name) == 0 ? name.machine : "unknown";
}

}  // namespace

// A query waiting for replies: who asked, who got it, until when.
struct MRKCSubstrate::Pending {
  Ref<MRKCContext> context;
  std::string asker;
  std::vector<std::string> recipients;
  double deadline;
};

MRKCSubstrate* MRKCSubstrate::shared() {
  static Ref<MRKCSubstrate> instance = substrate();
  return instance.get();
}

Ref<MRKCSubstrate> MRKCSubstrate::substrate() { return adoptRef(new MRKCSubstrate()); }

MRKCSubstrate::MRKCSubstrate()
    : pool_(std::make_shared<MRKCWorkerPool>(std::max(4u, std::thread::hardware_concurrency()))),
      runtime_(
          std::make_shared<MRKCRuntime>(pool_, [strands = timerStrands_](const std::string& key) -> Ref<MRKCStrand> {
            std::lock_guard lock(strands->mutex);
            auto found = strands->byGuid.find(key);
            return found == strands->byGuid.end() ? nullptr : found->second.strand;
          })) {
  globals_->store(Ref<MRKCOffloader>(runtime_->offloader()), "offloader");
  globals_->store(MRKCOffloader::offloader(), "qav.scheduler");
  globals_->store(MRKCString::stringWithValue("0.1.0"), "zarn.version");
  globals_->store(MRKCString::stringWithValue("linux"), "zarn.os");
  globals_->store(MRKCString::stringWithValue(machine()), "zarn.arch");
  runtime_->schedule(
      kPulseKey, [this] { pulse(); }, 0, configs_.pulse);
}

MRKCSubstrate::~MRKCSubstrate() {
  wipe();
  for (const Ref<MRKBProcessor>& processor : processors()) detach(processor.get(), false);
  runtime_.reset();
  if (Ref<MRKCOffloader> scheduler = globals_->fetch<MRKCOffloader>("qav.scheduler")) scheduler->stop();
  pool_->stop();
}

// Processors ---------------------------------------------------------------------------------

bool MRKCSubstrate::attach(MRKBProcessor* processor, bool async) {
  if (!processor) return false;
  Ref<MRKBProcessor> held(processor);
  auto onAttached = [held] {
    held->setHooked(true);
    held->onAttached();
  };
  // Called from the processor's own strand, onAttached runs here, ahead of what it queues.
  bool here = !async && processor->strand_->isCurrent();
  {
    std::lock_guard lock(routes_);
    if (processor->isAttached() || byGuid_.count(processor->guid())) return false;
    byGuid_.emplace(processor->guid(), held);
    attached_.insert(processor->guid());
    if (!processor->label().empty()) byLabel_[processor->label()].insert(processor->guid());
    processor->substrate_.store(this);
    if (!processor->properties()->fetchForLabel("ttl")) processor->ttl_.store(configs_.ttl);
    processor->attached_.store(true);
    processor->strand_->bind(pool_);
    {
      std::lock_guard strandsLock(timerStrands_->mutex);
      timerStrands_->byGuid[processor->guid()] = {processor->strand_, ++timerStrands_->attachments};
    }
    // Queued before the routes are seen, so no message or pulse reaches it before onAttached.
    if (!here) processor->strand_->post(onAttached);
  }
  if (here) onAttached();
  else if (!async) processor->strand_->runAndWait([] {});
  return true;
}

bool MRKCSubstrate::detach(MRKBProcessor* processor, bool async) {
  if (!processor) return false;
  Ref<MRKBProcessor> held(processor);
  uint64_t attachment = 0;
  {
    std::lock_guard strandsLock(timerStrands_->mutex);
    auto found = timerStrands_->byGuid.find(processor->guid());
    if (found != timerStrands_->byGuid.end()) attachment = found->second.attachment;
  }
  auto onDetached = [held, runtime = std::weak_ptr<MRKCRuntime>(runtime_),
                     strands = std::weak_ptr<TimerStrands>(timerStrands_), attachment] {
    held->setHooked(false);
    // An onAttached that ran after this detach may have set a timer since.
    if (std::shared_ptr<MRKCRuntime> timers = runtime.lock()) timers->unschedule(held->guid());
    held->onDetached();
    if (std::shared_ptr<TimerStrands> timerStrands = strands.lock()) {
      std::lock_guard strandsLock(timerStrands->mutex);
      auto found = timerStrands->byGuid.find(held->guid());
      if (found != timerStrands->byGuid.end() && found->second.attachment == attachment)
        timerStrands->byGuid.erase(found);
    }
  };
  bool here = !async && processor->strand_->isCurrent();
  std::vector<std::pair<std::string, Ref<MRKCContext>>> scraps;
  {
    std::lock_guard lock(routes_);
    auto found = byGuid_.find(processor->guid());
    if (found == byGuid_.end() || found->second.get() != processor) return false;
    byGuid_.erase(found);
    attached_.erase(processor->guid());
    if (!processor->label().empty()) eraseFrom(byLabel_, processor->label(), processor->guid());
    if (auto followed = followed_.find(processor->guid()); followed != followed_.end()) {
      for (const std::string& label : followed->second) eraseFrom(following_, label, processor->guid());
      followed_.erase(followed);
    }
    // Its own questions are scrapped for whoever got them. A question it got stays listed for its
    // asker: the scraps of a later expiry skip a processor that is gone.
    if (auto asked = asked_.find(processor->guid()); asked != asked_.end()) {
      for (const MRKCContext* context : asked->second) {
        auto pending = pending_.find(context);
        if (pending == pending_.end()) continue;
        for (const std::string& recipient : pending->second->recipients)
          if (recipient != processor->guid()) scraps.emplace_back(recipient, pending->second->context);
        pending_.erase(pending);
      }
      asked_.erase(asked);
    }
    processor->attached_.store(false);
    // Under the lock, so that an attach that follows at once comes after: its onAttached after
    // this onDetached, its timer not taken away by this detach.
    runtime_->unschedule(processor->guid());
    if (!here) processor->strand_->post(onDetached);
  }
  scrapQueries(std::move(scraps));
  if (here) onDetached();
  else if (!async) processor->strand_->runAndWait([] {});
  return true;
}

Ref<MRKBProcessor> MRKCSubstrate::processorForGuid(const std::string& guid) const {
  std::shared_lock lock(routes_);
  auto found = byGuid_.find(guid);
  return found == byGuid_.end() ? nullptr : found->second;
}

std::vector<Ref<MRKBProcessor>> MRKCSubstrate::processorsForLabel(const std::string& label) const {
  std::shared_lock lock(routes_);
  auto found = byLabel_.find(label);
  return found == byLabel_.end() ? std::vector<Ref<MRKBProcessor>>()
                                 : recipientsLocked(found->second, std::vector<std::string>());
}

std::vector<Ref<MRKBProcessor>> MRKCSubstrate::processors() const {
  std::shared_lock lock(routes_);
  return attachedLocked();
}

std::vector<Ref<MRKBProcessor>> MRKCSubstrate::attachedLocked() const {
  std::vector<Ref<MRKBProcessor>> processors;
  processors.reserve(attached_.size());
  for (const std::string& guid : attached_) processors.push_back(byGuid_.at(guid));
  return processors;
}

std::vector<std::pair<std::string, Ref<MRKCStrand>>> MRKCSubstrate::hookStrands() const {
  std::shared_lock lock(routes_);
  std::vector<std::pair<std::string, Ref<MRKCStrand>>> strands;
  strands.reserve(attached_.size());
  for (const Ref<MRKBProcessor>& processor : attachedLocked())
    strands.emplace_back(processor->label(), processor->strand_);
  return strands;
}

bool MRKCSubstrate::disclose(const std::string& label, const std::string& guid) {
  if (label.empty()) return false;
  std::lock_guard lock(routes_);
  if (!byGuid_.count(guid)) return false;
  following_[label].insert(guid);
  followed_[guid].insert(label);
  return true;
}

bool MRKCSubstrate::withhold(const std::string& label, const std::string& guid) {
  std::lock_guard lock(routes_);
  if (!eraseFrom(following_, label, guid)) return false;
  if (auto followed = followed_.find(guid); followed != followed_.end()) {
    followed->second.erase(label);
    if (followed->second.empty()) followed_.erase(followed);
  }
  return true;
}

// Sending ------------------------------------------------------------------------------------

template <typename ByLabel, typename Following>
std::vector<Ref<MRKBProcessor>> MRKCSubstrate::recipientsLocked(const ByLabel& byLabel,
                                                                const Following& following) const {
  std::vector<Ref<MRKBProcessor>> recipients;
  recipients.reserve(byLabel.size() + following.size());
  // Each list holds a guid once: only a guid in both needs looking for among those taken.
  std::unordered_set<std::string> seen;
  const bool both = !byLabel.empty() && !following.empty();
  auto take = [&](const std::string& guid) {
    auto found = byGuid_.find(guid);
    if (found != byGuid_.end() && (!both || seen.insert(guid).second)) recipients.push_back(found->second);
  };
  for (const std::string& guid : byLabel) take(guid);
  for (const std::string& guid : following) take(guid);
  return recipients;
}

// A message on its way, shared by all its recipients: one per send, whatever their number.
class MRKCSubstrate::Envelope : public LLKBObject {
public:
  Envelope(Ref<MRKBMessage> message, const std::string& source, Hook hook)
      : message_(std::move(message)), source_(source), hook_(hook) {}

  // Runs on the recipient's strand.
  static void open(LLKBObject* recipient, LLKBObject* envelope) {
    auto* processor = static_cast<MRKBProcessor*>(recipient);
    auto* opened = static_cast<Envelope*>(envelope);
    // Routed before a detach, it may run after the next attach yet before its onAttached.
    if (!processor->isAttached() || !processor->hooked()) return;
    if (opened->message_->isExpired()) {
      processor->dropped_.fetch_add(1);
      return;
    }
    processor->received_.fetch_add(1);
    opened->hook_(processor, opened->message_.get(), opened->source_);
  }

private:
  const Ref<MRKBMessage> message_;
  const std::string source_;
  const Hook hook_;
};

void MRKCSubstrate::deliver(const std::vector<Ref<MRKBProcessor>>& recipients, Ref<MRKBMessage> message,
                            const std::string& source, Hook hook) {
  if (recipients.empty()) return;
  Ref<LLKBObject> envelope = makeRef<Envelope>(std::move(message), source, hook);
  MRKCWorkerPool::Batch batch(pool_.get());
  for (const auto& recipient : recipients)
    recipient->strand_->post(&Envelope::open, Ref<LLKBObject>(recipient), envelope);
}

void MRKCSubstrate::countPublishedLocked(const std::string& source) const {
  if (source.empty()) return;
  auto found = byGuid_.find(source);
  if (found != byGuid_.end()) found->second->published_.fetch_add(1);
}

bool MRKCSubstrate::publish(MRKBMessage* message, const std::string& source) {
  auto* squib = dynamic_cast<MRKCSquib*>(message);
  auto* flashed = dynamic_cast<MRKCFlash*>(message);
  if ((!squib && !flashed) || message->isExpired()) return false;
  std::vector<Ref<MRKBProcessor>> recipients;
  {
    std::shared_lock lock(routes_);
    auto found = following_.find(message->label());
    if (found != following_.end()) recipients = recipientsLocked(std::vector<std::string>(), found->second);
    countPublishedLocked(source);
  }
  deliver(recipients, Ref<MRKBMessage>(message), source, squib ? squibHook : flashHook);
  return true;
}

bool MRKCSubstrate::inquire(MRKCQuery* query, const std::string& source) { return inquire(query, source, {}); }

bool MRKCSubstrate::inquire(MRKCQuery* query, const std::string& source, const std::string& target) {
  if (!query || query->isExpired()) return false;
  std::vector<Ref<MRKBProcessor>> recipients;
  {
    std::lock_guard lock(routes_);
    if (!target.empty()) {
      auto found = byGuid_.find(target);
      if (found != byGuid_.end()) recipients.push_back(found->second);
    } else {
      static const LLKTOrderedSet<std::string> none;
      auto labelled = byLabel_.find(query->label());
      auto following = following_.find(query->label());
      recipients = recipientsLocked(labelled == byLabel_.end() ? none : labelled->second,
                                    following == following_.end() ? none : following->second);
    }
    if (!recipients.empty()) {  // with nobody to answer, nobody waits
      auto& pending = pending_[query->context()];
      if (!pending) pending = std::make_unique<Pending>(Pending{Ref<MRKCContext>(query->context()), source, {}, 0});
      if (pending->asker.empty()) {
        pending->asker = source;
        asked_[source].insert(query->context());
      }
      pending->deadline = std::max(pending->deadline, query->stp() + static_cast<double>(query->ttl()));
      for (const auto& recipient : recipients) pending->recipients.push_back(recipient->guid());
    }
    countPublishedLocked(source);
  }
  deliver(recipients, Ref<MRKBMessage>(query), source, queryHook);
  return true;
}

bool MRKCSubstrate::answers(MRKCReply* reply, const std::string& source) {
  if (!reply || reply->isExpired()) return false;
  Ref<MRKBProcessor> asker;
  {
    std::shared_lock lock(routes_);
    auto pending = pending_.find(reply->context());
    if (pending == pending_.end()) return false;
    auto found = byGuid_.find(pending->second->asker);
    if (found == byGuid_.end()) return false;
    asker = found->second;
    countPublishedLocked(source);
  }
  deliver({asker}, Ref<MRKBMessage>(reply), source, replyHook);
  return true;
}

bool MRKCSubstrate::flash(MRKCFlash* flashed, const std::vector<std::string>& targets, const std::string& source) {
  if (!flashed) return false;
  std::vector<Ref<MRKBProcessor>> recipients;
  {
    std::shared_lock lock(routes_);
    std::vector<std::string> guids;
    std::unordered_set<std::string_view> named;
    for (const std::string& target : targets) {
      if (!named.insert(target).second) continue;  // a processor has one label: no guid twice
      auto found = byLabel_.find(target);
      if (found != byLabel_.end()) guids.insert(guids.end(), found->second.begin(), found->second.end());
    }
    recipients = recipientsLocked(guids, std::vector<std::string>());
    countPublishedLocked(source);
  }
  deliver(recipients, Ref<MRKBMessage>(flashed), source, flashHook);
  return true;
}

bool MRKCSubstrate::poke(std::string_view key, const std::vector<std::string>& targets, MRKBTerm* value) {
  if (key.empty() || !value) return false;
  std::vector<Ref<MRKBProcessor>> recipients;
  for (const std::string& target : targets)
    for (auto& processor : processorsForLabel(target)) recipients.push_back(processor);
  for (const auto& recipient : recipients) {
    recipient->strand_->post([recipient, name = std::string(key), value = Ref<MRKBTerm>(value)] {
      if (recipient->isAttached() && recipient->hooked() && recipient->onPropertyPoked(name, value.get()))
        recipient->properties()->store(value.get(), name);
    });
  }
  return true;
}

void MRKCSubstrate::scrapQueries(std::vector<std::pair<std::string, Ref<MRKCContext>>> scraps) {
  std::map<std::string, std::vector<Ref<MRKCContext>>> byRecipient;
  for (auto& [recipient, context] : scraps) byRecipient[recipient].push_back(std::move(context));
  for (auto& [guid, contexts] : byRecipient) {
    Ref<MRKBProcessor> recipient = processorForGuid(guid);
    if (recipient) deliver({recipient}, MRKCScrap::scrapWithContexts(std::move(contexts)), {}, scrapHook);
  }
}

void MRKCSubstrate::pulse() {
  std::vector<std::pair<std::string, Ref<MRKCContext>>> scraps;
  std::vector<Ref<MRKBProcessor>> processors;
  double now = MRKFNowInSeconds();
  {
    std::lock_guard lock(routes_);
    for (auto it = pending_.begin(); it != pending_.end();) {
      if (it->second->deadline < now) {
        for (const std::string& recipient : it->second->recipients) scraps.emplace_back(recipient, it->second->context);
        if (auto asked = asked_.find(it->second->asker); asked != asked_.end()) {
          asked->second.erase(it->first);
          if (asked->second.empty()) asked_.erase(asked);
        }
        it = pending_.erase(it);
      } else {
        ++it;
      }
    }
    processors = attachedLocked();
  }
  scrapQueries(std::move(scraps));
  for (const auto& processor : processors) {
    if (processor->pulsePending_.exchange(true)) continue;  // the last pulse has not run yet
    processor->strand_->post([processor] {
      processor->pulsePending_.store(false);
      if (processor->isAttached() && processor->hooked()) processor->onPulsated();
    });
  }
}

MRKTConfigs MRKCSubstrate::configs() const {
  std::shared_lock lock(routes_);
  return configs_;
}

void MRKCSubstrate::setConfigs(const MRKTConfigs& configs) {
  uint32_t pulse;
  {
    std::lock_guard lock(routes_);
    bool changed = configs_.pulse != configs.pulse;
    configs_ = configs;
    pulse = changed ? configs.pulse : 0;
  }
  if (pulse)
    runtime_->schedule(
        kPulseKey, [this] { this->pulse(); }, 0, pulse);
}

// Knowledge and statistics -------------------------------------------------------------------

Ref<MRKCKnowledge> MRKCSubstrate::saveKnowledge() {
  Ref<MRKCKnowledge> knowledge = MRKCKnowledge::knowledge();
  for (const auto& processor : processors()) {
    processor->strand_->runAndWait([&] {
      if (processor->isAttached() && processor->hooked() && !processor->onSavingKnowledge(knowledge.get()))
        LLKFLog("%s : could not save its knowledge", processor->label().c_str());
    });
  }
  return knowledge;
}

bool MRKCSubstrate::queryStatistics(const std::string& guid, MRKTStatistics* statistics) {
  Ref<MRKBProcessor> processor = processorForGuid(guid);
  if (!processor || !statistics) return false;
  statistics->received = processor->received_.load();
  statistics->published = processor->published_.load();
  statistics->dropped = processor->dropped_.load();
  return processor->strand_->runAndWait([&] { processor->onQueryingStatistics(statistics); });
}

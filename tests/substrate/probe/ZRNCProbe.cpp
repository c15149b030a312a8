#include "tests/substrate/probe/ZRNCProbe.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCClassRegistry.h"
#include "framework/substrate/MRKCFlash.h"
#include "framework/substrate/MRKCPrimitive.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCScrap.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"

namespace {
MRKTClassRegistrar<ZRNCProbe> registrar("ZRNCProbe");
}  // namespace

ZRNCProbe::ZRNCProbe(std::string guid, std::string label, std::string alias, Ref<MRKCFrame> properties)
    : MRKBElemental(std::move(guid), std::move(label), std::move(alias), std::move(properties)) {}

std::vector<std::pair<std::string, Ref<MRKCList>>> ZRNCProbe::entries(const char* property) const {
  std::vector<std::pair<std::string, Ref<MRKCList>>> found;
  MRKCList* list = asList(MRKFFrameFetchTerm(properties(), property));
  if (!list) return found;
  for (const auto& member : list->terms()) {
    MRKCList* entry = asList(member.get());
    MRKCSymbol* name = entry && entry->count() == 2 ? asSymbol(entry->head()) : nullptr;
    MRKCList* terms = entry ? asList(entry->tail()) : nullptr;
    if (name && terms) found.emplace_back(name->value(), Ref<MRKCList>(terms));
    else
      LLKFLog("%s : \"%s\" entries are [label, [terms]], not %s", label().c_str(), property,
              MRKFTermText(member.get()).c_str());
  }
  return found;
}

void ZRNCProbe::onAttached() {
  if (const double linger = MRKFFrameFetchReal(properties(), "linger", 0); linger > 0) {
    LLKFLog("%s : lingering %g s in its attach hook", label().c_str(), linger);
    std::this_thread::sleep_for(std::chrono::duration<double>(linger));
  }
  MRKBTerm* follow = MRKFFrameFetchTerm(properties(), "follow");
  std::vector<MRKBTerm*> labels;
  if (MRKCList* list = asList(follow))
    for (const auto& member : list->terms()) labels.push_back(member.get());
  else if (follow) labels.push_back(follow);
  for (MRKBTerm* term : labels) {
    if (MRKCSymbol* name = asSymbol(term)) (void)substrate()->disclose(name->value(), guid());
    else LLKFLog("%s : \"follow\" takes labels, not %s", label().c_str(), MRKFTermText(term).c_str());
  }
  if (const double busy = MRKFFrameFetchReal(properties(), "offload", 0); busy > 0) {
    LLKFLog("%s : offloading a job of %g s", label().c_str(), busy);
    (void)substrate()->runtime()->offloader()->submit(
        [busy] { std::this_thread::sleep_for(std::chrono::duration<double>(busy)); });
  }
  uint64_t every = MRKFFrameFetchUint(properties(), "every", 50);
  if (!entries("publish").empty() || !entries("ask").empty())
    substrate()->runtime()->schedule(
        guid(), [this] { round(); }, 0, static_cast<uint32_t>(std::max<uint64_t>(every, 1)));
}

void ZRNCProbe::onDetached() { substrate()->runtime()->unschedule(guid()); }

void ZRNCProbe::round() {
  MRKCSubstrate* host = substrate();
  for (const auto& [name, terms] : entries("publish")) {
    Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel(name, terms->copy().get(), 1.0);
    (void)host->publish(MRKCSquib::squibWithLabel(name, statement.get(), ttl()).get(), guid());
  }
  for (const auto& [name, terms] : entries("ask")) {
    Ref<MRKCPredicate> predicate = MRKCPredicate::predicateWithLabel(name, terms->copy().get());
    host->inquire(MRKCQuery::queryWithPredicate(predicate.get(), nullptr, ttl()).get(), guid());
  }
  uint64_t times = MRKFFrameFetchUint(properties(), "times", 1);
  if (times != 0 && ++rounds_ >= times) host->runtime()->unschedule(guid());
}

void ZRNCProbe::report(const char* kind, MRKBTerm* second, MRKBTerm* third) {
  Ref<MRKBTerm> kindSymbol = MRKCSymbol::symbolWithValue(kind);
  Ref<MRKCList> terms = MRKCList::listWithTerms({kindSymbol.get(), second, third});
  std::string seen = label() + ".seen";
  Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel(seen, terms.get(), 1.0);
  (void)substrate()->publish(MRKCSquib::squibWithLabel(seen, statement.get(), ttl()).get(), guid());
}

void ZRNCProbe::onReceivedSquib(MRKCSquib* squib, const std::string& source) {
  if (const double sleep = MRKFFrameFetchReal(properties(), "sleep", 0); sleep > 0) {
    LLKFLog("%s : sleeping %g s in its squib hook", label().c_str(), sleep);
    std::this_thread::sleep_for(std::chrono::duration<double>(sleep));
  }
  for (const auto& member : squib->statements()->terms())
    if (MRKCStatement* statement = asStatement(member.get()))
      report("squib", MRKCSymbol::symbolWithValue(statement->label()).get(), statement->terms());
}

void ZRNCProbe::onReceivedQuery(MRKCQuery* query, const std::string& source) {
  report("query", MRKCSymbol::symbolWithValue(query->label()).get(), query->predicate());
  MRKBTerm* answer = MRKFFrameFetchTerm(properties(), "answer");
  if (!answer) {
    MRKBElemental::onReceivedQuery(query, source);
    return;
  }
  Ref<MRKCStatement> statement = MRKFMakeStatementWithTerm(label(), answer, 1.0);
  Ref<MRKCReply> reply = MRKCReply::replyWithLabel(label(), statement.get(), query->context(),
                                                   MRKFComputeNextTTL(query->ttl(), query->stp()));
  if (reply) substrate()->answers(reply.get(), guid());
}

void ZRNCProbe::onReceivedReply(MRKCReply* reply, const std::string& source) {
  report("reply", MRKCSymbol::symbolWithValue(reply->label()).get(), reply->statement()->terms());
}

void ZRNCProbe::onReceivedFlash(MRKCFlash* flash, const std::string& source) {
  report("flash", MRKCSymbol::symbolWithValue(flash->label()).get(), flash->functor());
}

void ZRNCProbe::onReceivedScrap(MRKCScrap* scrap, const std::string& source) {
  report("scrap", MRKCNumber::numberWithUint(scrap->awaiting().size()).get(), MRKCList::list().get());
}

namespace {

// "probe.hold": runs until its caller is detached. It says on "probe.holding" that it runs, and
// notes in the constant "probe.unloaded.under.hook" when the module was unloaded meanwhile; the
// unloading then waits for it, so that no code runs from an unloaded module.
struct Hold {
  std::mutex mutex;
  std::condition_variable changed;
  bool running = false;
  bool exiting = false;
} hold;

int holdPrimitive(MRKCSubstrate* substrate, MRKBProcessor* processor, MRKCStatement*, MRKCList*, MRKCVariables*) {
  if (!substrate || !processor) return 12;
  std::unique_lock lock(hold.mutex);
  hold.running = true;
  Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel("probe.holding", nullptr, 1.0);
  (void)substrate->publish(MRKCSquib::squibWithLabel("probe.holding", statement.get(), processor->ttl()).get(),
                           processor->guid());
  // Detaching has no signal of its own: look again now and then.
  while (processor->isAttached() && !hold.exiting) hold.changed.wait_for(lock, std::chrono::milliseconds(1));
  if (hold.exiting) substrate->constants()->store(MRKCSymbol::symbolWithValue("yes"), "probe.unloaded.under.hook");
  hold.running = false;
  hold.changed.notify_all();
  return 0;
}

}  // namespace

extern "C" void modInit(MRKCSubstrate* substrate) {
  std::lock_guard lock(hold.mutex);
  hold.exiting = false;
  substrate->primitives()->store(MRKCPrimitive::primitiveWithFunction(holdPrimitive), "probe.hold");
}

extern "C" void modExit(MRKCSubstrate* substrate) {
  substrate->primitives()->removeForKey("probe.hold");
  std::unique_lock lock(hold.mutex);
  hold.exiting = true;
  hold.changed.notify_all();
  hold.changed.wait(lock, [] { return !hold.running; });
}

#include "framework/substrate/MRKFWindDown.h"

#include "framework/substrate/MRKCRuntime.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

struct Ending {
  std::mutex mutex;
  std::condition_variable ended;
  bool wiped = false;
  bool done = false;
};

// What keeps the winding down from its end: the loads underway, else the hooks still busy, else
// the wipe itself, else (the wipe done) the offloader's running job.
std::string stillRunning(const MRKCSubstrate& substrate,
                         const std::vector<std::pair<std::string, Ref<MRKCStrand>>>& strands, bool wiped) {
  std::string what;
  for (const std::string& path : substrate.loadsUnderway()) what += (what.empty() ? "the load of " : ", ") + path;
  if (!what.empty()) return what;
  for (const auto& [label, strand] : strands)
    if (strand->isRunning()) what += (what.empty() ? "the busy hooks of " : ", ") + label;
  if (!what.empty()) return what;
  return wiped ? "the offloader's running job" : "the wipe of the loaded solutions";
}

}  // namespace

bool MRKFSubstrateWindDown(MRKCSubstrate* substrate, double grace, std::string* abandoned) {
  if (!substrate) return true;
  // Taken before the wipe detaches them: afterwards a busy processor is no longer listed. The
  // wipe's thread holds the list too, so a caller that ends without waiting does not spend its
  // last moments freeing thousands of labels.
  const auto strands = std::make_shared<const decltype(substrate->hookStrands())>(substrate->hookStrands());
  auto ending = std::make_shared<Ending>();
  try {
    std::thread([substrate, ending, strands] {
      // A load underway would add its solution after the wipe: it ends first.
      substrate->waitForLoads();
      substrate->wipe();
      {
        std::lock_guard lock(ending->mutex);
        ending->wiped = true;
      }
      // The job the offloader runs (a projector's load, say) is waited for here, not in the
      // substrate's destructor at exit, where nothing would bound the wait.
      if (MRKCRuntime* runtime = substrate->runtime()) runtime->offloader()->stop();
      std::lock_guard lock(ending->mutex);
      ending->done = true;
      ending->ended.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    if (abandoned) *abandoned = "the wipe (no thread to run it on)";
    return false;
  }
  std::unique_lock lock(ending->mutex);
  if (ending->ended.wait_for(lock, std::chrono::duration<double>(grace), [&] { return ending->done; })) return true;
  if (abandoned) *abandoned = stillRunning(*substrate, *strands, ending->wiped);
  return false;
}

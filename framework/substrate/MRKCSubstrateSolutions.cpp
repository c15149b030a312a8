// The substrate's solutions: loaded whole or not at all, wiped processors first, then modules.
#include "framework/substrate/MRKCSubstrate.h"

#include <algorithm>
#include <unordered_set>

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCClassRegistry.h"
#include "framework/substrate/MRKCSolution.h"

bool MRKCSubstrate::load(const std::string& path, std::string* error) {
  // Listed as underway from start to end, so that ending can say which load it does not wait for.
  class Underway {
  public:
    Underway(MRKCSubstrate& substrate, const std::string& path) : substrate_(substrate) {
      std::lock_guard lock(substrate_.loading_);
      substrate_.underway_.push_back(path);
      path_ = path;
    }
    ~Underway() {
      {
        std::lock_guard lock(substrate_.loading_);
        auto found = std::find(substrate_.underway_.begin(), substrate_.underway_.end(), path_);
        if (found != substrate_.underway_.end()) substrate_.underway_.erase(found);
      }
      substrate_.loadEnded_.notify_all();
    }
    Underway(const Underway&) = delete;
    Underway& operator=(const Underway&) = delete;

  private:
    MRKCSubstrate& substrate_;
    std::string path_;
  } underway(*this, path);

  MRKTSolution solution;
  if (!MRKFSolutionRead(path, &solution, error)) return false;

  LoadedSolution loaded;
  loaded.path = path;
  for (size_t i = 0; i < solution.modules.size(); ++i) {
    std::string reason;
    std::string resolved = MRKCModule::resolve(solution.modules[i], solution.folder);
    if (!loadModule(solution.modules[i], &reason, solution.folder)) {
      releaseModules(loaded.modules);
      if (error) *error = path + ": modules[" + std::to_string(i) + "]: " + reason;
      return false;
    }
    loaded.modules.push_back(resolved);
  }
  std::unordered_set<std::string> guids;
  for (const MRKTProcessorEntry& entry : solution.processors) {
    Ref<MRKBProcessor> processor;
    std::string problem;
    if (!MRKCClassRegistry::shared().hasClass(entry.className))
      problem = entry.where + ".class: unknown class " + entry.className;
    else if (!entry.guid.empty() && (processorForGuid(entry.guid) || !guids.insert(entry.guid).second))
      problem = entry.where + ".guid: " + entry.guid + " is already taken";
    else if (!(processor = MRKCClassRegistry::shared().make(entry.className, entry.guid, entry.label, entry.alias,
                                                            entry.properties)))
      problem = entry.where + ": " + entry.className + " could not be made from its properties";
    if (!problem.empty()) {
      loaded.processors.clear();  // made, never attached
      releaseModules(loaded.modules);
      if (error) *error = path + ": " + problem;
      return false;
    }
    loaded.processors.push_back(processor);
  }
  MRKTConfigs configs = this->configs();
  if (solution.ttl) configs.ttl = *solution.ttl;
  if (solution.pulse) configs.pulse = *solution.pulse;
  setConfigs(configs);
  for (const auto& [key, term] : solution.constants) constants_->store(term, key);
  for (const auto& processor : loaded.processors)
    if (!attach(processor.get(), false))
      LLKFLog("substrate : %s: processor %s was not attached (its guid is taken)", path.c_str(),
              processor->guid().c_str());
  std::lock_guard lock(loading_);
  solutions_.push_back(std::move(loaded));
  return true;
}

void MRKCSubstrate::wipe() {
  std::vector<LoadedSolution> solutions;
  {
    std::lock_guard lock(loading_);
    solutions.swap(held_);  // modules kept at an earlier wipe get another chance
    for (auto& solution : solutions_) solutions.push_back(std::move(solution));
    solutions_.clear();
  }
  // Every processor goes before any module: one solution's processors may run code of another's
  // modules (their primitives, for one).
  for (auto solution = solutions.rbegin(); solution != solutions.rend(); ++solution)
    for (auto processor = solution->processors.rbegin(); processor != solution->processors.rend(); ++processor) {
      detach(processor->get(), false);
      // Let what was queued for it end, so nothing of the module runs once it is unloaded.
      (*processor)->strand_->runAndWait([] {});
    }
  std::vector<LoadedSolution> stillHeld;
  for (auto solution = solutions.rbegin(); solution != solutions.rend(); ++solution) {
    // A processor someone still holds runs its module's code when released: its modules stay
    // loaded until a later wipe finds it released. Each is let go only when ours is the last
    // reference, decided and done in one step, so an owner releasing it meanwhile cannot make
    // it outlive its module.
    std::erase_if(solution->processors, [](Ref<MRKBProcessor>& processor) { return processor.releaseIfLast(); });
    if (!solution->processors.empty()) {
      LLKFLog("substrate : the modules of %s stay loaded: some of its processors are still held",
              solution->path.c_str());
      stillHeld.push_back(std::move(*solution));
      continue;
    }
    releaseModules(solution->modules);
  }
  std::lock_guard lock(loading_);
  held_ = std::move(stillHeld);
}

std::vector<std::string> MRKCSubstrate::loadsUnderway() const {
  std::lock_guard lock(loading_);
  return underway_;
}

void MRKCSubstrate::waitForLoads() const {
  std::unique_lock lock(loading_);
  loadEnded_.wait(lock, [this] { return underway_.empty(); });
}

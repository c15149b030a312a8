#include "framework/app/ZRVCLoadOperation.h"

#include "framework/core/LLKFFiles.h"
#include "framework/substrate/MRKCSolution.h"
#include "framework/substrate/MRKCSubstrate.h"

Ref<ZRVCLoadOperation> ZRVCLoadOperation::operationWithPaths(std::vector<std::string> paths,
                                                             Ref<ZRVCOperationContext> context) {
  if (paths.empty() || !context) return nullptr;
  return makeRef<ZRVCLoadOperation>(std::move(paths), std::move(context));
}

void ZRVCLoadOperation::onExecute() {
  MRKCSubstrate* substrate = MRKCSubstrate::shared();
  if (wipe_ && main_)
    for (const std::string& path : paths_) {
      std::string error;
      if (MRKFSolutionCheck(path, &error)) continue;
      (void)context_->progress("Cannot load " + error);
      (void)context_->complete(false, error, {{"kept", true}});
      return;
    }
  if (wipe_) {
    (void)context_->progress("Wiping ...");
    substrate->wipe();
  }
  std::string failure;
  for (const std::string& path : paths_) {
    std::string name = LLKFStringGetFilenameFromPath(path.c_str());
    (void)context_->progress("Loading " + name + " ...");
    std::string error;
    if (substrate->load(path, &error)) {
      (void)context_->progress("Loaded " + name);
      continue;
    }
    (void)context_->progress("Cannot load " + error);
    if (failure.empty()) failure = error;
    if (main_) break;
  }
  (void)context_->complete(failure.empty(), failure);
}

#pragma once
// Loads solution files into the shared substrate, on the substrate's offloader: with the wipe
// flag it first wipes every loaded solution, then it loads the paths in order. A main load
// (the main flag) stops at the first path that fails; otherwise every path is tried. A main load
// with the wipe flag first checks every path (a readable solution whose modules are found): one
// that fails is refused before the wipe, so what runs keeps running, and its completion carries
// "kept" YES. Progress texts ("Wiping ...", "Loading <file> ...", "Loaded <file>", "Cannot load
// <path>: <why>") and the one completion (whether every path loaded, and why not: the message
// names the path) go through the context; telling the user is the owner's.
#include <string>
#include <vector>

#include "framework/app/ZRVCOperationContext.h"
#include "framework/core/LLKBOperation.h"

class ZRVCLoadOperation : public LLKBOperation {
public:
  // Null without paths or without a context.
  [[nodiscard]] static Ref<ZRVCLoadOperation> operationWithPaths(std::vector<std::string> paths,
                                                                 Ref<ZRVCOperationContext> context);

  const std::vector<std::string>& paths() const { return paths_; }
  ZRVCOperationContext* context() const { return context_.get(); }
  bool wipe() const { return wipe_; }
  void setWipe(bool wipe) { wipe_ = wipe; }
  bool main() const { return main_; }
  void setMain(bool main) { main_ = main; }

  void onExecute() override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  ZRVCLoadOperation(std::vector<std::string> paths, Ref<ZRVCOperationContext> context)
      : paths_(std::move(paths)), context_(std::move(context)) {}

  std::vector<std::string> paths_;
  Ref<ZRVCOperationContext> context_;
  bool wipe_ = false;
  bool main_ = false;
};

// The substrate's plug-in modules: loaded once per resolved path, counted by use.
#include "framework/substrate/MRKCSubstrate.h"

bool MRKCSubstrate::loadModule(const std::string& name, std::string* error, const std::string& base) {
  std::string path = MRKCModule::resolve(name, base);
  if (path.empty()) {
    if (error) *error = MRKCModule::notFound(name);
    return false;
  }
  std::lock_guard lock(loading_);
  LoadedModule& loaded = modules_[path];
  if (!loaded.module) {
    loaded.module = MRKCModule::moduleWithPath(path, this, error);
    if (!loaded.module) {
      modules_.erase(path);
      return false;
    }
  }
  ++loaded.uses;
  return true;
}

bool MRKCSubstrate::unloadModule(const std::string& name, const std::string& base) {
  std::string path = MRKCModule::resolve(name, base);
  std::lock_guard lock(loading_);
  auto found = modules_.find(path);
  if (found == modules_.end()) return false;
  if (--found->second.uses == 0) {
    found->second.module->unload(this);
    modules_.erase(found);
  }
  return true;
}

void MRKCSubstrate::releaseModules(const std::vector<std::string>& paths) {
  for (auto it = paths.rbegin(); it != paths.rend(); ++it) unloadModule(*it);
}

#include "framework/substrate/MRKCClassRegistry.h"

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKFTerms.h"

MRKCClassRegistry& MRKCClassRegistry::shared() {
  // Never destroyed: modules unloaded while the process exits still unregister their classes.
  static MRKCClassRegistry* registry = new MRKCClassRegistry();
  return *registry;
}

bool MRKCClassRegistry::registerClass(const std::string& name, MRKTProcessorFactory factory) {
  if (name.empty() || !factory) return false;
  std::lock_guard lock(mutex_);
  bool added = factories_.emplace(name, std::move(factory)).second;
  if (!added) LLKFLog("substrate : class %s is already registered", name.c_str());
  return added;
}

void MRKCClassRegistry::unregisterClass(const std::string& name) {
  MRKTProcessorFactory removed;  // destroyed outside the lock
  std::lock_guard lock(mutex_);
  auto found = factories_.find(name);
  if (found == factories_.end()) return;
  removed = std::move(found->second);
  factories_.erase(found);
}

bool MRKCClassRegistry::hasClass(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return factories_.count(name) > 0;
}

Ref<MRKBProcessor> MRKCClassRegistry::make(const std::string& name, const std::string& guid, const std::string& label,
                                           const std::string& alias, Ref<MRKCFrame> properties) const {
  MRKTProcessorFactory factory;
  {
    std::lock_guard lock(mutex_);
    auto found = factories_.find(name);
    if (found == factories_.end()) return nullptr;
    factory = found->second;
  }
  try {
    Ref<MRKBProcessor> made = factory(guid, label, alias, std::move(properties));
    return made && made->isUsable() ? made : nullptr;
  } catch (...) {
    LLKFLog("%s : could not be made", name.c_str());
    return nullptr;
  }
}

Ref<MRKBProcessor> MRKCClassRegistry::makeWithManifesto(const std::string& name, const MRKCManifesto* manifesto) const {
  if (!manifesto) return nullptr;
  MRKCSymbol* alias = MRKFFrameFetchSymbol(manifesto->properties(), "alias");
  return make(name, MRKFMakeGuid(), manifesto->label(), alias ? alias->value() : std::string(),
              Ref<MRKCFrame>(manifesto->properties()));
}

Ref<MRKBProcessor> MRKCClassRegistry::makeWithCoder(const std::string& name, LLKBDecoder* coder) const {
  MRKTProcessorParts parts;
  if (!MRKBProcessor::decodeWithCoder(coder, &parts)) return nullptr;
  return make(name, parts.guid, parts.label, parts.alias, parts.properties);
}

#pragma once
// Processor classes by name. Each plug-in fills it when loaded, through a static registrar
// object per class, and empties it again when unloaded:
//
//   static MRKTClassRegistrar<CTMCStage> registrar("CTMCStage");
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

#include "framework/substrate/MRKBProcessor.h"
#include "framework/substrate/MRKCManifesto.h"

using MRKTProcessorFactory = std::function<Ref<MRKBProcessor>(const std::string& guid, const std::string& label,
                                                              const std::string& alias, Ref<MRKCFrame> properties)>;

class MRKCClassRegistry {
public:
  static MRKCClassRegistry& shared();

  // False when the name is taken (the first registration stays).
  bool registerClass(const std::string& name, MRKTProcessorFactory factory);
  void unregisterClass(const std::string& name);
  bool hasClass(const std::string& name) const;
  // A new processor of the class, or null for an unknown class, a maker that failed or a
  // processor that is not usable.
  Ref<MRKBProcessor> make(const std::string& name, const std::string& guid, const std::string& label,
                          const std::string& alias, Ref<MRKCFrame> properties) const;
  // From a manifesto: a fresh guid, its label, its properties and the alias they name.
  Ref<MRKBProcessor> makeWithManifesto(const std::string& name, const MRKCManifesto* manifesto) const;
  // From what a processor's encodeWithCoder wrote.
  Ref<MRKBProcessor> makeWithCoder(const std::string& name, LLKBDecoder* coder) const;

private:
  mutable std::mutex mutex_;
  std::unordered_map<std::string, MRKTProcessorFactory> factories_;
};

template <typename T>
class MRKTClassRegistrar {
public:
  explicit MRKTClassRegistrar(std::string name) : name_(std::move(name)) {
    registered_ = MRKCClassRegistry::shared().registerClass(
        name_, [](const std::string& guid, const std::string& label, const std::string& alias,
                  Ref<MRKCFrame> properties) { return adoptRef(new T(guid, label, alias, std::move(properties))); });
  }
  ~MRKTClassRegistrar() {
    if (registered_) MRKCClassRegistry::shared().unregisterClass(name_);
  }
  MRKTClassRegistrar(const MRKTClassRegistrar&) = delete;
  MRKTClassRegistrar& operator=(const MRKTClassRegistrar&) = delete;

private:
  std::string name_;
  bool registered_ = false;
};

#pragma once
// The processor base that can also be made from a manifesto: a fresh guid, the manifesto's label
// and properties, and the alias named by the symbol under "alias" in them.
#include "framework/substrate/MRKBProcessor.h"
#include "framework/substrate/MRKCManifesto.h"

class MRKBElemental : public MRKBProcessor {
protected:
  MRKBElemental(std::string guid, std::string label, std::string alias, Ref<MRKCFrame> properties)
      : MRKBProcessor(std::move(guid), std::move(label), std::move(alias), std::move(properties)) {}
  explicit MRKBElemental(const MRKCManifesto& manifesto);
  MRKBElemental(std::string guid, std::string label, std::string alias, const MRKCManifesto& manifesto)
      : MRKBProcessor(std::move(guid), std::move(label), std::move(alias), Ref<MRKCFrame>(manifesto.properties())) {}
};

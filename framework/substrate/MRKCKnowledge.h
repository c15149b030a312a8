#pragma once
// What processors save when the substrate saves knowledge: their manifestos, in order.
#include <cerrno>
#include <mutex>
#include <vector>

#include "framework/substrate/MRKCManifesto.h"

class MRKCKnowledge : public LLKBObject {
public:
  [[nodiscard]] static Ref<MRKCKnowledge> knowledge() { return adoptRef(new MRKCKnowledge()); }

  // 0 when stored, EINVAL for null.
  int store(MRKCManifesto* manifesto) {
    if (!manifesto) return EINVAL;
    std::lock_guard lock(mutex_);
    manifestos_.emplace_back(manifesto);
    return 0;
  }
  std::vector<Ref<MRKCManifesto>> manifestos() const {
    std::lock_guard lock(mutex_);
    return manifestos_;
  }

private:
  MRKCKnowledge() = default;
  mutable std::mutex mutex_;
  std::vector<Ref<MRKCManifesto>> manifestos_;
};

#pragma once
// A scrap: the substrate telling a processor that queries it received are given up (their asker
// left, or they ran out of time); awaiting holds their contexts.
#include <vector>

#include "framework/substrate/MRKBMessage.h"
#include "framework/substrate/MRKCContext.h"

class MRKCScrap : public MRKBMessage {
public:
  [[nodiscard]] static Ref<MRKCScrap> scrapWithContexts(std::vector<Ref<MRKCContext>> awaiting);
  const std::vector<Ref<MRKCContext>>& awaiting() const { return awaiting_; }

private:
  explicit MRKCScrap(std::vector<Ref<MRKCContext>> awaiting);
  std::vector<Ref<MRKCContext>> awaiting_;
};

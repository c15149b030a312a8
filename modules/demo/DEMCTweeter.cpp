#include "modules/demo/DEMCTweeter.h"

#include <algorithm>

#include "framework/core/LLKFRandom.h"
#include "framework/substrate/MRKFTerms.h"

void DEMCTweeter::onReceivedTick(MRKCList* winners, uint64_t tick, MRKCFrame* frame) {
  const uint64_t every = std::max<uint64_t>(1, MRKFFrameFetchUint(properties(), "every", 2));
  MRKCList* topics = asList(MRKFFrameFetchTerm(properties(), "topics"));
  if (tick % every != 0 || !topics || topics->count() == 0) return;
  MRKBTerm* topic = topics->fetchAtIndex(LLKFRandomDrawWithRangeUint(0, static_cast<uint32_t>(topics->count() - 1)));
  const double weight = MRKFFrameFetchReal(properties(), "weight", 1.0) * (0.5 + LLKFRandomDraw());
  tweetWithGist(topic, static_cast<float>(weight), static_cast<float>(LLKFRandomDraw() - 0.5));
}

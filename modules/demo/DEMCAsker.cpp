#include "modules/demo/DEMCAsker.h"

#include <algorithm>

#include "framework/substrate/MRKFTerms.h"

void DEMCAsker::onReceivedTick(MRKCList* winners, uint64_t tick, MRKCFrame* frame) {
  const uint64_t every = std::max<uint64_t>(1, MRKFFrameFetchUint(properties(), "every", 4));
  MRKCList* questions = asList(MRKFFrameFetchTerm(properties(), "questions"));
  if (tick % every != 0 || !questions || questions->count() == 0) return;
  Ref<MRKCFrame> options = MRKCFrame::frame();
  MRKFFrameStoreReal(options.get(), "timeout", MRKFFrameFetchReal(properties(), "timeout", 2.0));
  queryWithGist(questions->fetchAtIndex(next_++ % questions->count()), 1.0f, 0.0f, options.get());
}

void DEMCAsker::onReceivedReply(MRKBTerm* reply, MRKCSymbol* query) {
  MRKCList* chunk = asList(reply);
  MRKCSymbol* uid = chunk ? asSymbol(chunk->fetchAtIndex(2)) : nullptr;
  if (!uid) return;
  Ref<MRKCNumber> amount = MRKCNumber::numberWithReal(MRKFFrameFetchReal(properties(), "kudos", 1.0));
  kudosTo(uid, amount.get(), 1.0f, 0.0f);
}

#include "modules/demo/DEMCAnswerer.h"

#include "framework/substrate/MRKFTerms.h"
#include "framework/substrate/MRKFUnify.h"

void DEMCAnswerer::onReceivedTick(MRKCList* winners, uint64_t tick, MRKCFrame* frame) { answer(winners); }

void DEMCAnswerer::onReceivedLink(MRKCList* chunks, uint64_t tick, MRKCFrame* frame) { answer(chunks); }

void DEMCAnswerer::answer(MRKCList* chunks) {
  MRKCList* knows = asList(MRKFFrameFetchTerm(properties(), "knows"));
  if (!knows) return;
  const float weight = static_cast<float>(MRKFFrameFetchReal(properties(), "weight", 1.0));
  for (const auto& member : chunks->terms()) {
    MRKCList* chunk = asList(member.get());
    MRKCSymbol* kind = chunk ? asSymbol(chunk->fetchAtIndex(3)) : nullptr;
    MRKCSymbol* uid = chunk ? asSymbol(chunk->fetchAtIndex(2)) : nullptr;
    if (!kind || !uid || kind->compareToChars("query") != 0) continue;
    for (const auto& entry : knows->terms()) {
      MRKCList* pair = asList(entry.get());
      if (!pair || pair->count() != 2 ||
          !MRKFUnifyTermsIsolated(substrate(), this, chunk->fetchAtIndex(4), pair->head()))
        continue;
      replyTo(uid, pair->tail(), weight, 0.0f);
      break;
    }
  }
}

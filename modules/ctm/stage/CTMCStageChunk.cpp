#include "modules/ctm/stage/CTMCStageChunk.h"

#include <new>

#include "framework/substrate/MRKCNumber.h"

Ref<CTMCStageChunk> CTMCStageChunk::chunkWithTerms(MRKCList* terms) {
  return adoptRef(new (std::nothrow) CTMCStageChunk(terms));
}

void CTMCStageChunk::setTerms(MRKCList* terms) {
  iTerms = Ref<MRKCList>(terms);
  iCount = 1;
}

bool CTMCStageChunk::copyTerms() {
  if (!iTerms) return false;
  MRKCNumber* intensity = asNumber(iTerms->fetchAtIndex(kCTMChunkIntensity));
  MRKCNumber* mood = asNumber(iTerms->fetchAtIndex(kCTMChunkMood));
  if (!intensity || !mood) return false;
  try {
    Ref<MRKCList> copy = iTerms->copy();
    Ref<MRKCNumber> ownIntensity = MRKCNumber::numberWithValue(intensity);
    Ref<MRKCNumber> ownMood = MRKCNumber::numberWithValue(mood);
    if (!copy || !ownIntensity || !ownMood) return false;
    copy->store(ownIntensity.get(), kCTMChunkIntensity);
    copy->store(ownMood.get(), kCTMChunkMood);
    iTerms = std::move(copy);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

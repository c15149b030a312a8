#include "modules/ctm/stage/CTMCStageChunk.h"

#include <new>

#include "framework/substrate/MRKCNumber.h"

Ref<CTMCStageChunk> CTMCStageChunk::chunkWithTerms(MRKCList* terms) { return adoptRef(new CTMCStageChunk(terms)); }

namespace {
double realAt(const MRKCList* terms, size_t index) {
  MRKCNumber* number = asNumber(terms ? terms->fetchAtIndex(index) : nullptr);
  return number ? number->real() : 0.0;
}
}  // namespace

void CTMCStageChunk::setTerms(MRKCList* terms) {
  iTerms = Ref<MRKCList>(terms);
  iCount = 1;
  iWeight = realAt(terms, kCTMChunkWeight);
  iIntensity = realAt(terms, kCTMChunkIntensity);
  iMood = realAt(terms, kCTMChunkMood);
}

bool CTMCStageChunk::absorb(double intensity, double mood, uint32_t count) {
  if (iCount == 1 && !copyTerms()) return false;
  MRKCNumber* ownIntensity = asNumber(iTerms ? iTerms->fetchAtIndex(kCTMChunkIntensity) : nullptr);
  MRKCNumber* ownMood = asNumber(iTerms ? iTerms->fetchAtIndex(kCTMChunkMood) : nullptr);
  if (!ownIntensity || !ownMood) return false;
  ownIntensity->setReal(intensity);
  ownMood->setReal(mood);
  iIntensity = intensity;
  iMood = mood;
  iCount = count;
  return true;
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

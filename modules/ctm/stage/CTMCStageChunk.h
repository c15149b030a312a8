#pragma once
// One competitor of the stage's up-tree competition: a posted CTM chunk and how many posted
// chunks it stands for after absorbing the losers of its pairings.
#include <cstdint>

#include "framework/core/LLKBObject.h"
#include "framework/substrate/MRKCList.h"

// Where a CTM chunk keeps what the stage reads of it.
enum : size_t {
  kCTMChunkSender = 0,
  kCTMChunkTick = 1,
  kCTMChunkUid = 2,
  kCTMChunkKind = 3,
  kCTMChunkGist = 4,
  kCTMChunkWeight = 5,
  kCTMChunkIntensity = 6,
  kCTMChunkMood = 7,
  kCTMChunkTermCount = 8,
};

class CTMCStageChunk : public LLKBObject {
public:
  // Null only when out of memory.
  [[nodiscard]] static Ref<CTMCStageChunk> chunkWithTerms(MRKCList* terms);

  MRKCList* terms() const { return iTerms.get(); }
  // Takes new terms (null empties the chunk) and starts counting again from one.
  void setTerms(MRKCList* terms);
  uint32_t count() const { return iCount; }
  void setCount(uint32_t count) { iCount = count; }

  // The numbers the competition reads (0 for a term that is not a number), taken when the terms
  // are set and kept by absorb: the passes read them without visiting the terms.
  double weight() const { return iWeight; }
  double intensity() const { return iIntensity; }
  double mood() const { return iMood; }

  // Makes this chunk stand for count posted chunks whose intensities and moods sum up as given:
  // the sums go into its own copy of the terms, taken at the first absorb (copyTerms), so that
  // they never reach the list its sender posted. False when that copy cannot be made.
  [[nodiscard]] bool absorb(double intensity, double mood, uint32_t count);

  // Replaces the terms by a private copy whose intensity and mood are numbers of its own, so
  // that sums written into them never reach the list the sender posted. False, keeping the old
  // terms, when the copy cannot be made or those terms are not numbers.
  bool copyTerms();

private:
  explicit CTMCStageChunk(MRKCList* terms) { setTerms(terms); }

  Ref<MRKCList> iTerms;
  uint32_t iCount = 1;
  double iWeight = 0.0;
  double iIntensity = 0.0;
  double iMood = 0.0;
};

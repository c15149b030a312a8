#pragma once
// The up-tree competition over the stage's chunks. In the deterministic and probabilistic modes
// neighbouring chunks are paired level by level, each pair replaced by its winner, which absorbs
// the loser's intensity and mood, until no more than "size" chunks are left; in the
// weight-centric mode the chunks, kept in descending weight since intake, are cut to "size".
//
// Every chunk object in the record's lists is a CTMCStageChunk whose terms passed the stage's
// intake check (a CTM chunk of eight terms, numbers where numbers belong).
#include <cstdint>

#include "framework/core/LLKBObjectSequence.h"
#include "framework/substrate/MRKCList.h"
#include "modules/ctm/stage/CTMTStage.h"

extern "C" {

// Orderings for the core kit's object lists (the context is ignored): ascending by sender,
// descending by weight, and descending by the mean intensity the chunk is broadcast with.
int CTMFStageUpTreeComparator(LLKBObject* a, LLKBObject* b, void* context);
int CTMFStageUpTreeComparatorW(LLKBObject* a, LLKBObject* b, void* context);
int CTMFStageUpTreeComparatorI(LLKBObject* a, LLKBObject* b, void* context);

// The value of a chunk under a value function (kCTMFuncs); 0 for an unknown function and for
// terms that are missing or not numbers.
double CTMFStageProcessUpTreeChunkValue(uint32_t func, MRKCList* terms);

// One pass over the chunk list: pairs the 1st and 2nd chunks, the 3rd and 4th, and so on; each
// winner takes the place of its pair and an odd last chunk goes on unchanged. False when a
// winner could not take its own copy of its terms.
bool CTMFStageProcessUpTreeDeterministicPass(CTMTStage* record);
bool CTMFStageProcessUpTreeProbabilisticPass(CTMTStage* record);
// Passes while more chunks than winners are left.
bool CTMFStageProcessUpTreeDeterministic(CTMTStage* record);
bool CTMFStageProcessUpTreeProbabilistic(CTMTStage* record);

// The whole competition. *out receives the terms of every competing chunk, as received, in
// chunk-list order (null when that list could not be made). Afterwards the chunk list holds the
// winners in broadcast order. False when a pass failed.
bool CTMFStageProcessUpTree(CTMTStage* record, Ref<MRKCList>* out);

// Returns every chunk object to the pool, emptied, and empties the chunk list (a failed tick).
void CTMFStageReturnChunksToPool(CTMTStage* record);
// +mood or -mood by the sign of the winners' summed mood; 0 without winners or mood.
float CTMFStageComputeMoodFactor(CTMTStage* record, MRKCList* winners);

// Puts the chunks taken in since the last call in the order of the mode: by sender in the
// deterministic mode, by descending weight in the weight-centric one, arrival otherwise.
void CTMFStageOrderChunks(CTMTStage* record);

}  // extern "C"

// The functions that hand back a new list keep C++ linkage: their result is a counted reference.

// The chunks flashed over links since the last tick, in arrival order (the link list is left
// as it is: the stage empties it once the tick went out). Null when out of memory.
Ref<MRKCList> CTMFStageLinksToChunks(CTMTStage* record);
// The terms of every chunk, in the order of the mode (CTMFStageOrderChunks first). Null when out
// of memory.
Ref<MRKCList> CTMFStageListToChunks(CTMTStage* record);
// The winners' terms, each carrying the mean intensity and mood of the chunks it absorbed;
// every chunk object goes back to the pool and the chunk list is emptied, even when the list
// cannot be made (null then).
Ref<MRKCList> CTMFStageListFromList(CTMTStage* record);

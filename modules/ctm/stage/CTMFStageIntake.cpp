#include "modules/ctm/stage/CTMFStageIntake.h"

#include <cmath>
#include <new>

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCStatement.h"
#include "modules/ctm/stage/CTMCStageChunk.h"
#include "modules/ctm/stage/CTMFStageCompetition.h"

namespace {

bool isFiniteNumber(MRKBTerm* term) {
  MRKCNumber* number = asNumber(term);
  return number && std::isfinite(number->real());
}

// A chunk object for the terms: an emptied one from the pool, else a new one.
Ref<CTMCStageChunk> chunkFor(CTMTStage* record, MRKCList* terms) {
  if (Ref<CTMCStageChunk> reused = refCast<CTMCStageChunk>(record->pool->removeHead())) {
    reused->setTerms(terms);
    return reused;
  }
  return CTMCStageChunk::chunkWithTerms(terms);
}

}  // namespace

bool CTMFStageChunkIsWellFormed(const MRKCList* chunk) {
  if (!chunk || chunk->count() != kCTMChunkTermCount) return false;
  return asSymbol(chunk->fetchAtIndex(kCTMChunkSender)) && asNumber(chunk->fetchAtIndex(kCTMChunkTick)) &&
         asSymbol(chunk->fetchAtIndex(kCTMChunkUid)) && chunk->fetchAtIndex(kCTMChunkKind) &&
         chunk->fetchAtIndex(kCTMChunkGist) && isFiniteNumber(chunk->fetchAtIndex(kCTMChunkWeight)) &&
         isFiniteNumber(chunk->fetchAtIndex(kCTMChunkIntensity)) && isFiniteNumber(chunk->fetchAtIndex(kCTMChunkMood));
}

bool CTMFStageIntakeStatement(CTMTStage* record, MRKBTerm* statement) {
  if (!record || !record->chunks || !record->pool) return false;
  MRKCStatement* carrier = asStatement(statement);
  MRKCList* chunk = asList(carrier && carrier->terms() ? carrier->terms()->head() : nullptr);
  if (!CTMFStageChunkIsWellFormed(chunk)) {
    LLKFLog("%s : malformed chunk refused", record->labelSymbol ? record->labelSymbol->value().c_str() : "stage");
    return false;
  }
  if (record->tlag != 0) {
    // A chunk stamped later than the counter wraps around to a huge age: it counts as too old.
    uint64_t age = record->tickCounter - asNumber(chunk->fetchAtIndex(kCTMChunkTick))->uint();
    if (age > record->tlag) return false;
  }
  try {
    Ref<CTMCStageChunk> competitor = chunkFor(record, chunk);
    if (!competitor) return false;
    // Put in the mode's order once, when the competition reads the chunks: inserting each in
    // place would move every later one, quadratic in the chunks of a tick.
    if (record->chunks->append(competitor) != 0) return false;
    record->chunksUnordered = true;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

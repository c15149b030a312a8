#include "modules/ctm/actors/CTMCActorRecords.h"

#include "framework/core/LLKFTime.h"

CTMCActorRecall::CTMCActorRecall(MRKCList* stage) : iTick(LLKFNowInS()), iStage(stage) {}

CTMCActorRecord::CTMCActorRecord(MRKCList* chunk, uint32_t type) : iCType(type), iChunk(chunk), iPosted(LLKFNowInS()) {}

CTMCActorRecord::CTMCActorRecord(MRKCList* chunk, MRKCQuery* query)
    : iCType(kCTMChunkQuery), iChunk(chunk), iQuery(query), iPosted(LLKFNowInS()) {}

CTMCActorNotice::CTMCActorNotice(MRKCList* chunk, uint32_t type) : iCType(type), iChunk(chunk) {}

CTMCActorLink::CTMCActorLink(MRKCSymbol* processor, MRKCFunc* gist, double pull)
    : iProc(processor), iGist(gist), iPull(pull) {}

Ref<CTMCActorWait> CTMCActorWait::waitWithQuery(MRKCQuery* query, MRKBTerm* filter, MRKBTerm* result) {
  Ref<CTMCActorWait> wait = adoptRef(new CTMCActorWait());
  wait->iVariables = MRKCVariables::variables();
  if (!wait->iVariables) return nullptr;
  wait->iQuery = Ref<MRKCQuery>(query);
  wait->iFilter = Ref<MRKBTerm>(filter);
  wait->iResult = Ref<MRKBTerm>(result);
  return wait;
}

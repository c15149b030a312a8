#include "app/vision/VSKFLabelingFrames.h"

#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKFTerms.h"

bool VSKFLabelingMatchOlderFrameId(const LLKCObjectTuple* statements, const uint64_t* frameId) {
  if (!statements) return true;
  for (size_t i = 0; i < statements->count(); ++i) {
    Ref<MRKCStatement> statement = statements->fetchAtIndexAs<MRKCStatement>(i);
    if (!statement) continue;
    MRKCList* terms = statement->terms();
    MRKBTerm* meta = terms ? terms->fetchAtIndex(1) : nullptr;
    const uint64_t id = MRKFFrameFetchUint(meta ? meta->asFrame() : nullptr, "frameid", 0);
    return id <= (frameId ? *frameId : 0);
  }
  return true;
}

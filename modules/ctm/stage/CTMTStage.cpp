#include "modules/ctm/stage/CTMTStage.h"

#include <new>

bool CTMFStageRecordInit(CTMTStage* record, const std::string& label) {
  if (!record || label.empty()) return false;
  try {
    record->chunks = LLKCObjectList::listWithCapacity(32);
    record->pool = LLKCObjectList::listWithCapacity(32);
    record->links = LLKCObjectList::listWithCapacity(32);
    record->labelSymbol = MRKCSymbol::symbolWithValue(label);
    record->drops = NRKCUintSeries::seriesWithCapacity(16);
    record->frameTemplate = MRKCFrame::frameWithCapacity(3);
    if (!record->chunks || !record->pool || !record->links || !record->labelSymbol || !record->drops ||
        !record->frameTemplate)
      return false;
    record->passLabel = label + ".pass";
    record->tickLabel = label + ".tick";
    return true;
  } catch (const std::bad_alloc&) {
    record->tickLabel.clear();
    return false;
  }
}

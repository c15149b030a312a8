#pragma once
// Which frames the labelling view holds, told by their image statements' frame ids.
#include <cstdint>

#include "framework/core/LLKCObjectTuple.h"

// True when the first statement in the slots (scanned from slot 0) has a "frameid" in its meta
// frame (term 1; 0 when absent) not above *frameId, or when the slots hold no statement. Slots
// that are empty or hold something other than a statement are passed over; a null frameId reads
// as frame 0.
bool VSKFLabelingMatchOlderFrameId(const LLKCObjectTuple* statements, const uint64_t* frameId);

#pragma once
// The fake classifier's helpers: its labels file read as JSON, and one detection as a term.
#include <cstdint>
#include <string>

#include "framework/core/JSKCFrame.h"
#include "framework/core/LLKCObjectDeque.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCSymbol.h"

// The points of a published outline.
inline constexpr uint32_t kQAVDetectionPoints = 64;

// The file's frame, or an empty frame when it cannot be read or holds no JSON object, with the
// reason in *why when given (null only when out of memory).
[[nodiscard]] Ref<JSKCFrame> QAVFFakeClassifierReadJSON(const char* path, std::string* why = nullptr);

// One detection: [slot, class symbol, [one data of 32-bit floats x, y per outline]]. Null for a
// missing class, an entry of polygons that is not a polygon, or when out of memory.
[[nodiscard]] Ref<MRKCList> QAVFFakeClassifierMakeTerms(uint32_t slot, MRKCSymbol* classSymbol,
                                                        const LLKCObjectDeque* polygons);

#pragma once
// The fake classifier's helpers: its labels file read as JSON, and one detection as a term.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "framework/core/JSKCFrame.h"
#include "framework/core/LLKCObjectDeque.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCSymbol.h"

// The points of a published outline.
inline constexpr uint32_t kQAVDetectionPoints = 64;

// The file's frame, or an empty frame when it cannot be read or holds no JSON object, with the
// reason in *why when given (null only when out of memory).
[[nodiscard]] Ref<JSKCFrame> QAVFFakeClassifierReadJSON(const char* path, std::string* why = nullptr);

// The class names of the labels file: per channel, the symbol of class i at i - 1 (null for an
// entry that is no string). Members that are no array, and arrays without a single string, name
// no channel.
using QAVTFakeClassifierClasses = std::map<std::string, std::vector<Ref<MRKCSymbol>>>;
[[nodiscard]] QAVTFakeClassifierClasses QAVFFakeClassifierClassTable(const JSKCFrame& labelsFile);

// One detection: [slot, class symbol, [one data of 32-bit floats x, y per outline]]. Null for a
// missing class or an entry of polygons that is not a polygon.
[[nodiscard]] Ref<MRKCList> QAVFFakeClassifierMakeTerms(uint32_t slot, MRKCSymbol* classSymbol,
                                                        const LLKCObjectDeque* polygons);

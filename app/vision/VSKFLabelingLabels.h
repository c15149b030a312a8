#pragma once
// The labelling view's labels, read from the two resource files: the label list of its feed
// ("./rsc/labels.json": an object of channel names, each an array of label names; the list is
// "null" followed by the feed's names, a label's number being its position) and the COCO labels
// table ("./rsc/coco.json": {"labels": [{"id", "qav.fovl", "qav.peri"}, ...]}) that the COCO
// mapping reads: one 32-bit label number per COCO category id.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/JSKCFrame.h"
#include "framework/core/LLKCData.h"

// Category ids above this are taken as malformed and left unmapped (COCO's run to 90).
inline constexpr uint64_t kVSKLabelingLargestCategory = 65535;

// "null" and the names of the feed's array; empty when the feed's value is missing or no array.
// Entries that are not strings read as "".
std::vector<std::string> VSKFLabelingLabelNames(const JSKCFrame& labelsFile, const std::string& feed);

// The table of the COCO file for the view's kind: entry id := the label number of the category's
// name under "qav.peri" (peripheral) or "qav.fovl", for names found in labels. The table has one
// entry more than the largest id of the file (so every id is mapped, whatever the number of
// categories); null when the file has no non-empty "labels" array or memory runs out.
[[nodiscard]] Ref<LLKCData> VSKFLabelingLabelsTable(const JSKCFrame& cocoFile, bool peripheral,
                                                    const std::vector<std::string>& labels);

#pragma once
// Dataset scenes as the labelling tool receives them: the JPEG file loaded by the image kit, as an
// image statement with its annotations under "coco", segmented by the grid-seam segmenter.
#include <string>

#include "framework/substrate/MRKCStatement.h"
#include "tests/support/dataset/Dataset.h"

namespace dataset {

// The scene written into folder (as write does), loaded back and segmented with superpixels of
// the given step. Null when a step fails.
Ref<MRKCStatement> segmented(const Scene& scene, const std::string& folder, uint32_t step);

}  // namespace dataset

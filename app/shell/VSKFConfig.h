#pragma once
#include <string_view>

#include "framework/core/JSKCFrame.h"

// The frame stored under the key in the settings, made empty and stored there when missing (or
// when the key holds something else); null only when it cannot be stored.
Ref<JSKCFrame> VSKFConfigFind(JSKCFrame& config, std::string_view key);

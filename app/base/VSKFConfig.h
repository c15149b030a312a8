#pragma once
// The settings frames of the workbench's views: found by readers, made by writers, and checked as
// they are read back.
#include <string_view>

#include "framework/core/JSKCFrame.h"

// The frame stored under the key in the settings; null when missing or when the key holds
// something else. The settings are left as they are.
Ref<JSKCFrame> VSKFConfigFind(const JSKCFrame& config, std::string_view key);
// The frame stored under the key in the settings, made empty and stored there when missing (or
// when the key holds something else); null only when it cannot be stored.
Ref<JSKCFrame> VSKFConfigMake(JSKCFrame& config, std::string_view key);

// Checks a view's saved state before the view is made from it: a "visible" that is not true or
// false, a "position" that is not a point and a "size" that is not a size are each said in the
// log and dropped, so the view opens from its defaults and its own save puts good values back
// (never the bad ones unchanged). The view's "visible" flag: false when absent or dropped.
bool VSKFConfigCheckViewState(JSKCFrame& state, std::string_view key);

#pragma once
// The main window's place and size in the settings: "position" and "size" under "ui.window",
// written at closing and opened at at the next start, so that the views saved in that window
// come back where they were instead of being pulled into a default-sized one.
#include <optional>

#include "framework/core/JSKCFrame.h"
#include "ui/gl/OGLTGeometry.h"

inline constexpr const char* kVSKWindowKey = "ui.window";
// The smallest size the window opens at: its menu bar and a view's title bar still show.
inline constexpr OGLTSize kVSKSmallestWindow = {240, 160};

struct VSKTWindowFrame {
  std::optional<OGLTPoint> position;
  std::optional<OGLTSize> size;
};

// What was saved: each part that is missing is left to the window's defaults; a part that is not
// a point or a size is said in the log and dropped (as a view's state is); a saved size is at
// least kVSKSmallestWindow. Reading makes the "ui.window" entry when it is missing.
VSKTWindowFrame VSKFWindowSavedFrame(JSKCFrame& settings);
// Stores the window's frame (window coordinates: its top left corner and size).
void VSKFWindowStoreFrame(JSKCFrame& settings, const OGLTRect& frame);

#pragma once
// The main window's own dialogs: where the data folder is, and the about box. Each is shown
// once at a time (a second request while it is shown does nothing). Window's thread only.
#include <cstdint>

class QELBWindow;
class ZRVBWindow;

// The layer of the window's dialogs: above the views, the menu bar and the status label.
inline constexpr int8_t kVSKDialogLayer = 8;

// Shows the data-folder dialog at the home folder; its choice comes back as (0xc00, 0x180, 0)
// with the picked folder under "folder". False, and the user told, when it cannot be made, has
// no path or cannot be attached.
bool VSKFWindowAskForDataPath(ZRVBWindow* window);
// Shows the about box with the framework's version, system and architecture ("unknown" for
// each the substrate does not give).
void VSKFWindowShowAbout(QELBWindow* window);

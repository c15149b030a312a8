#pragma once
// The workbench's menus: "CTM" in the framework's "Statistics" menu (shows or hides the
// statistics view), the "Commands" menu with "Load recent" (the recents list), "Wipe" and the
// openers of the inject and COCO feed views, and the "Views" menu with an opener of every other
// view kind (those with a field of view under "Foveal" and "Peripherial").
// The record is the window's own (VSKTWindowRecord). Window's thread only.
#include "app/shell/VSKTWindowRecord.h"

class ZRVBWindow;

// Adds the entries to the window's menu bar, the "Load recent" list into the record; an entry
// that cannot be made is left out.
void VSKFWindowBuildMenus(VSKTWindowRecord& record, ZRVBWindow* window);
// Makes the record's "Load recent" list show its recents, oldest first; each entry loads its
// file with (0xf00, 4, 1) carrying the full path to the window.
void VSKFWindowRefreshRecents(const VSKTWindowRecord& record, QELBWindow* window);

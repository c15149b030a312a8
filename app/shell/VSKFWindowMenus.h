#pragma once
// The workbench's menus: "CTM" in the framework's "Statistics" menu (shows or hides the
// statistics view), the "Commands" menu with "Load recent" (the recents list), "Wipe" and the
// openers of the inject and COCO feed views, and the "Views" menu with an opener of every other
// view kind (those with a field of view under "Foveal" and "Peripherial").
// Window's thread only.
class VSKCWindow;

// Adds the entries to the window's menu bar; an entry that cannot be made is left out.
void VSKFWindowBuildMenus(VSKCWindow* window);
// Makes the "Load recent" list show the window's recents, oldest first; each entry loads its
// file with (0xf00, 4, 1) carrying the full path.
void VSKFWindowRefreshRecents(VSKCWindow* window);

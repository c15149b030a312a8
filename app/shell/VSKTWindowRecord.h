#pragma once
// The main window's own state besides its observer and data folder: the statistics view, the
// recently loaded files and the "Load recent" list that shows them. The window keeps it private
// and hands it to the functions that build, restore, save and change it (VSKFWindowLoading.h,
// VSKFWindowMenus.h, VSKFWindowStats.h); nothing else reaches it. Window's thread only.
#include "app/shell/VSKFWindowStats.h"
#include "app/shell/VSKTRecents.h"
#include "ui/widgets/QELBMenuList.h"

struct VSKTWindowRecord {
  VSKTStatsRecord stats;
  VSKTRecents recents;
  Ref<QELBMenuList> recentsList;  // of the "Load recent" menu entry, or null
};

#pragma once
// The title-bar menu of the workbench's views: a pop-up list under the view's top-left content
// corner, known to the window by the alias "term.menu" (one at a time), on layer 8, whose items
// send their messages to the view. Window's thread only.
#include "framework/core/LLKCMessage.h"
#include "ui/widgets/QELBMenuList.h"
#include "ui/widgets/QELBView.h"

// An empty list for the items, or null when the view has no window, the window already shows
// such a menu or none can be made.
[[nodiscard]] Ref<QELCMenuList> ZRVFViewMenuList(QELBView* view);
// Items and separators added to the list (one that cannot be made is left out).
void ZRVFViewMenuAddItem(QELBView* view, QELCMenuList* list, const char* label, Ref<LLKCMessage> message);
void ZRVFViewMenuAddSeparator(QELCMenuList* list);
// Shows the menu holding the list; says so under the name when it cannot.
void ZRVFViewMenuOpen(QELBView* view, const Ref<QELCMenuList>& list, const char* name);
// A menu of the view's that is still open no longer sends to it (the view leaves the window).
void ZRVFViewMenuLetGo(QELBView* view);

#pragma once
// The title-bar menu of the CTM views: a pop-up list under the view's top-left content corner,
// known to the window by the alias "term.menu" (one at a time), on layer 8, whose items send
// their messages to the view. Window's thread only.
#include <cstdint>

#include "framework/app/ZRVBView.h"
#include "ui/widgets/QELBMenuList.h"

// An empty list for the items, or null when the window already shows such a menu or none can
// be made.
[[nodiscard]] Ref<QELCMenuList> VSKFViewMenuList(ZRVBView* view);
// Items and separators added to the list (one that cannot be made is left out).
void VSKFViewMenuAddItem(ZRVBView* view, QELCMenuList* list, const char* label, Ref<LLKCMessage> message);
void VSKFViewMenuAddSeparator(QELCMenuList* list);
// Shows the menu holding the list; says so under the name when it cannot.
void VSKFViewMenuOpen(ZRVBView* view, const Ref<QELCMenuList>& list, const char* name);
// A menu of the view's that is still open no longer sends to it (the view leaves the window).
void VSKFViewMenuLetGo(ZRVBView* view);
